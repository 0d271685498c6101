#pragma once
// The fuzz targets' input as a file: the code under test opens archives by
// name, so each input is written into one memory-backed file that stays
// open for the whole run.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace lunaro::fuzz {

class TMemoryInput {
public:
    explicit TMemoryInput(const char* name) : Fd(::memfd_create(name, 0)) {
        if (Fd >= 0) Path = "/proc/self/fd/" + std::to_string(Fd);
    }
    // Empty when no memory file could be made.
    const std::string& FilePath() const { return Path; }

    // Replaces the file's bytes with data.
    bool Write(const uint8_t* data, size_t size) const {
        if (Fd < 0 || ::ftruncate(Fd, 0) != 0) return false;
        size_t done = 0;
        while (done < size) {
            const ssize_t wrote = ::pwrite(Fd, data + done, size - done, static_cast<off_t>(done));
            if (wrote <= 0) return false;
            done += static_cast<size_t>(wrote);
        }
        return true;
    }

private:
    int Fd;
    std::string Path;
};

}  // namespace lunaro::fuzz

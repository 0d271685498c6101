#include "engine/exec/entry_source.h"

#include <unistd.h>

#include <cerrno>

namespace lunaro::engine {

int64_t TEntrySource::Read(uint8_t* buffer, size_t cap) {
    if (fRemaining <= 0 || cap == 0) return 0;
    const size_t want = static_cast<uint64_t>(fRemaining) < cap ? static_cast<size_t>(fRemaining) : cap;
    ssize_t got;
    do {
        got = ::pread(fFd, buffer, want, static_cast<off_t>(fOffset));
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return -1;  // the window reaches past the end of the file
    fOffset += got;
    fRemaining -= got;
    return got;
}

bool TEntrySource::ReadExactly(uint8_t* buffer, size_t len) {
    size_t done = 0;
    while (done < len) {
        const int64_t got = Read(buffer + done, len - done);
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

bool TEntrySource::HoldBackTrailer(int64_t len, uint8_t* trailer) {
    if (len < 0 || fRemaining < len) return false;
    TEntrySource tail(fFd, fOffset + fRemaining - len, len);
    if (!tail.ReadExactly(trailer, static_cast<size_t>(len))) return false;
    fRemaining -= len;
    return true;
}

}  // namespace lunaro::engine

#include "engine/writer/positioned_read.h"

#include <unistd.h>

#include <cerrno>

namespace lunaro::engine {

bool ReadFullyAt(int fd, void* buffer, size_t len, uint64_t offset) {
    auto* out = static_cast<uint8_t*>(buffer);
    while (len > 0) {
        const ssize_t n = ::pread(fd, out, len, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        len -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

}  // namespace lunaro::engine

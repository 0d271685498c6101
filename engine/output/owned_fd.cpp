#include "engine/output/owned_fd.h"

#include <unistd.h>

namespace lunaro::engine {

TOwnedFd::~TOwnedFd() { Reset(); }

TOwnedFd& TOwnedFd::operator=(TOwnedFd&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.Fd, -1));
    return *this;
}

void TOwnedFd::Reset(int fd) {
    if (Fd >= 0) ::close(Fd);
    Fd = fd;
}

}  // namespace lunaro::engine

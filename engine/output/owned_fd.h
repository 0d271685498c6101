#pragma once
// A file descriptor closed when its owner goes away, so that no failure path
// in the output layer leaks one (a leaked descriptor of an unnamed temporary
// file would keep its blocks allocated until the process ends).
#include <utility>

namespace lunaro::engine {

class TOwnedFd {
public:
    TOwnedFd() = default;
    explicit TOwnedFd(int fd) : Fd(fd) {}
    ~TOwnedFd();
    TOwnedFd(TOwnedFd&& other) noexcept : Fd(std::exchange(other.Fd, -1)) {}
    TOwnedFd& operator=(TOwnedFd&& other) noexcept;
    TOwnedFd(const TOwnedFd&) = delete;
    TOwnedFd& operator=(const TOwnedFd&) = delete;

    int Get() const { return Fd; }
    bool Valid() const { return Fd >= 0; }
    void Reset(int fd = -1);

private:
    int Fd = -1;
};

}  // namespace lunaro::engine

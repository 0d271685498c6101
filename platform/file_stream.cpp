#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "platform/stream.h"

namespace lunaro::platform {

namespace {

bool IsCreate(uint32_t mode) { return (mode & fmCreate) == fmCreate; }

// Truncation for fmCreate waits until the share lock is held, so a refused
// open never destroys the content another owner is using.
int OpenFlags(uint32_t mode) {
    if (IsCreate(mode)) return O_RDWR | O_CREAT;
    switch (mode & 0x3) {
        case fmOpenWrite: return O_WRONLY;
        case fmOpenReadWrite: return O_RDWR;
        default: return O_RDONLY;
    }
}

// Share modes become advisory locks: exclusive openers take a write lock,
// deny-write openers a read lock, so each refuses the other as the platform
// the system was written for does. Compatibility and deny-none take none.
int LockFor(uint32_t mode) {
    switch (mode & 0xF0) {
        case fmShareExclusive: return LOCK_EX;
        case fmShareDenyWrite: return LOCK_SH;
        default: return 0;
    }
}

}  // namespace

TFileStream::TFileStream(const std::string& path, uint32_t mode) : path_(path) {
    const std::string host = HostPath(path);
    const char* what = IsCreate(mode) ? "Cannot create file" : "Cannot open file";
    fd_ = host.empty() ? -1 : ::open(host.c_str(), OpenFlags(mode) | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        const int err = host.empty() ? ENOENT : errno;
        throw EFOpenError(std::string(what) + " \"" + path + "\". " + std::strerror(err), err);
    }
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError(std::string(what) + " \"" + path + "\". " + std::strerror(EISDIR), EISDIR);
    }
    const int lock = LockFor(mode);
    if (lock != 0 && ::flock(fd_, lock | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError(std::string(what) + " \"" + path + "\". The file is in use by another process", err);
    }
    // A truncate of a file that is already empty is not free: the file system
    // then treats the file as replaced and flushes all of it on close.
    const bool empty = ::fstat(fd_, &st) == 0 && st.st_size == 0;
    if (IsCreate(mode) && !empty && ::ftruncate(fd_, 0) != 0) {
        const int err = errno;
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError(std::string(what) + " \"" + path + "\". " + std::strerror(err), err);
    }
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0) return 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(count));
        if (n >= 0) return n;
        if (errno != EINTR) throw EStreamError("Cannot read from \"" + path_ + "\". " + std::strerror(errno));
    }
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    for (;;) {
        const ssize_t n = ::write(fd_, buffer, static_cast<size_t>(count));
        if (n >= 0) return n;
        if (errno != EINTR) throw EStreamError("Cannot write to \"" + path_ + "\". " + std::strerror(errno));
    }
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = SEEK_SET;
    if (origin == TSeekOrigin::soCurrent) whence = SEEK_CUR;
    if (origin == TSeekOrigin::soEnd) whence = SEEK_END;
    const off_t pos = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return pos < 0 ? -1 : static_cast<int64_t>(pos);
}

void TFileStream::SetSize(int64_t size) {
    if (size < 0) size = 0;
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw EStreamError("Cannot set the size of \"" + path_ + "\". " + std::strerror(errno));
    if (Position() > size) Seek(size, TSeekOrigin::soBeginning);
}

int64_t TFileStream::Size() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return 0;
    return static_cast<int64_t>(st.st_size);
}

}  // namespace lunaro::platform

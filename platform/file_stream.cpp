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

int OpenFlags(uint32_t mode) {
    if (mode == fmCreate) return O_RDWR | O_CREAT | O_TRUNC;
    switch (mode & 0x3) {
        case fmOpenWrite: return O_WRONLY;
        case fmOpenReadWrite: return O_RDWR;
        default: return O_RDONLY;
    }
}

}  // namespace

TFileStream::TFileStream(const std::string& path, uint32_t mode) : path_(path) {
    const std::string host = HostPath(path);
    fd_ = ::open(host.c_str(), OpenFlags(mode) | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        const int err = errno;
        const char* what = mode == fmCreate ? "Cannot create file" : "Cannot open file";
        throw EFOpenError(std::string(what) + " \"" + path + "\". " + std::strerror(err), err);
    }
    if (mode != fmCreate && (mode & 0xF0) == fmShareExclusive) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd_);
            fd_ = -1;
            throw EFOpenError("Cannot open file \"" + path + "\". The file is in use by another process", err);
        }
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
        if (errno != EINTR) return 0;
    }
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    for (;;) {
        const ssize_t n = ::write(fd_, buffer, static_cast<size_t>(count));
        if (n >= 0) return n;
        if (errno != EINTR) return 0;
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
    if (::ftruncate(fd_, static_cast<off_t>(size < 0 ? 0 : size)) != 0)
        throw EStreamError("Cannot set the size of \"" + path_ + "\". " + std::strerror(errno));
    if (Position() > size) Seek(size, TSeekOrigin::soBeginning);
}

int64_t TFileStream::Size() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return 0;
    return static_cast<int64_t>(st.st_size);
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream file(path, fmOpenRead | fmShareDenyWrite);
    Clear();
    SetSize(file.Size());
    file.ReadBuffer(Memory(), Size());
}

void TMemoryStream::SaveToFile(const std::string& path) const {
    TFileStream file(path, fmCreate);
    file.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

}  // namespace lunaro::platform

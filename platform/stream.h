#pragma once
// Byte streams with 64-bit positions: the common currency between the
// protocol clients, the download workers and the archive reader.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/exception.h"

namespace lunaro::platform {

enum class TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes up to count bytes; returns how many were written.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Moves the position; returns the new position. Positions past the end
    // are allowed (a later write extends the stream).
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual void SetSize(int64_t size) = 0;
    virtual int64_t Size();

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

    // Whole-or-nothing variants: raise EStreamError on a short transfer.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source's position (count 0: all of source,
    // from its start). Returns the number copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// Growable in-memory stream. Memory() stays valid until the next write or
// SetSize.
class TMemoryStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }

    void Clear();
    uint8_t* Memory() { return data_.data(); }
    const uint8_t* Memory() const { return data_.data(); }
    std::string ToString() const { return std::string(data_.begin(), data_.end()); }
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

private:
    std::vector<uint8_t> data_;
    int64_t position_ = 0;
};

// File opening modes: one access mode, optionally or-ed with one share mode.
enum : uint32_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,  // create or truncate, read and write
};

class EFOpenError : public EStreamError {
public:
    EFOpenError(const std::string& message, int error) : EStreamError(message), error_(error) {}
    int ErrorCode() const { return error_; }

private:
    int error_;
};

// A file on disk. The path is a host path or a Windows-style path that the
// drive mapping resolves; a folder is refused. fmShareExclusive takes an
// advisory write lock and fmShareDenyWrite a read lock that the other openers
// in the system honour; a refused lock raises EFOpenError and, for fmCreate,
// leaves the file's content untouched. Read and Write raise EStreamError when
// the device fails (a failure never looks like the end of the file).
class TFileStream : public TStream {
public:
    TFileStream(const std::string& path, uint32_t mode);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    int64_t Size() override;

    const std::string& FileName() const { return path_; }
    int Handle() const { return fd_; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace lunaro::platform

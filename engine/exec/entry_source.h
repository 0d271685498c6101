#pragma once
// An entry's stored bytes: a window of the archive file read with positioned
// reads, so that no read can stray past the entry's own data whatever the
// headers claim, and several readers may share one descriptor.
#include <cstddef>
#include <cstdint>

namespace lunaro::engine {

// Where a run's input comes from: an entry's window of the archive, or a
// stream of the caller's.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Up to cap bytes; 0 at the end, -1 when the bytes cannot be had.
    virtual int64_t Read(uint8_t* buffer, size_t cap) = 0;

protected:
    TByteSource() = default;
    TByteSource(const TByteSource&) = default;
    TByteSource& operator=(const TByteSource&) = default;
};

class TEntrySource final : public TByteSource {
public:
    TEntrySource(int fd, int64_t offset, int64_t length) : fFd(fd), fOffset(offset), fRemaining(length) {}

    // Up to cap bytes; 0 at the end of the window, -1 on a read error or when
    // the file ends before the window does.
    int64_t Read(uint8_t* buffer, size_t cap) override;
    // Exactly len bytes, or false.
    bool ReadExactly(uint8_t* buffer, size_t len);
    int64_t Remaining() const { return fRemaining; }
    // Keeps the last len bytes out of the window (a trailer read on its own).
    bool HoldBackTrailer(int64_t len, uint8_t* trailer);

private:
    int fFd;
    int64_t fOffset;
    int64_t fRemaining;
};

}  // namespace lunaro::engine

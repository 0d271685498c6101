#pragma once
// The received-data stream of a download. The protocol client appends the
// reply body to it; the worker copies the new tail into the partial file
// and then lets the stream forget those bytes. Size() keeps counting every
// byte written since the last SetSize(0), so "document size against file
// size" comparisons hold, while memory only holds what is not on disk yet.
#include <cstdint>
#include <vector>

#include "platform/stream.h"

namespace lunaro::download {

class TReleasingDocument : public platform::TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    // Writes at the position; bytes before the released mark can no longer
    // be written (EStreamError).
    int64_t Write(const void* buffer, int64_t count) override;
    // Positions are clamped to 0..Size().
    int64_t Seek(int64_t offset, platform::TSeekOrigin origin) override;
    // Only truncation is meaningful; SetSize(0) starts a new document.
    void SetSize(int64_t size) override;
    int64_t Size() override { return released_ + static_cast<int64_t>(held_.size()); }

    // Bytes still held in memory (written, not yet released).
    int64_t HeldSize() const { return static_cast<int64_t>(held_.size()); }
    // Writes the last count bytes to target. Raises EStreamError when some of
    // them were already released: they can no longer be delivered.
    void WriteTailTo(platform::TStream& target, int64_t count);
    // Forgets every held byte; Size() is unchanged and the position moves to
    // the end.
    void Release();

private:
    std::vector<uint8_t> held_;  // the bytes from released_ to Size()
    int64_t released_ = 0;
    int64_t position_ = 0;
};

}  // namespace lunaro::download

#pragma once
// A stream that passes at most a given number of written bytes on to
// another and refuses the rest, so that a producer that would write more
// than it should stops at the first byte too many instead of filling
// memory or disk. Reading and seeking go straight to the other stream.
#include <cstdint>

#include "platform/stream.h"

namespace lunaro::platform {

class TWriteLimitStream final : public TStream {
public:
    TWriteLimitStream(TStream& target, int64_t limit) : target_(target), left_(limit) {}

    int64_t Read(void* buffer, int64_t count) override { return target_.Read(buffer, count); }
    // Writes what fits under the limit; returns how much that was.
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override { return target_.Seek(offset, origin); }
    void SetSize(int64_t size) override { target_.SetSize(size); }
    int64_t Size() override { return target_.Size(); }

    // Some write was cut at the limit.
    bool Refused() const { return refused_; }

private:
    TStream& target_;
    int64_t left_;
    bool refused_ = false;
};

}  // namespace lunaro::platform

#pragma once

#include "engine/codec/stream_decoder.h"

#include <memory>

struct inflate_state;

namespace lunaro::engine {

// Method 8, through the vectorised streaming inflate (measured well above
// twice the speed of the classic one on text-like entries).
class TInflateDecoder final : public TStreamDecoder {
public:
    TInflateDecoder();
    ~TInflateDecoder() override;

protected:
    TDecodeStatus Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                       uint8_t* out, size_t outCap, size_t& outMade) override;

private:
    std::unique_ptr<inflate_state> State;
};

}  // namespace lunaro::engine

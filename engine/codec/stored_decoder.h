#pragma once

#include "engine/codec/decoder.h"

namespace lunaro::engine {

// Method 0: a copy. It has no end of its own; the caller counts the bytes.
class TStoredDecoder final : public TDecoder {
public:
    TDecodeStatus Decode(const uint8_t* in, size_t inLen, size_t& inUsed,
                         uint8_t* out, size_t outCap, size_t& outMade) override;
    std::string ErrorText() const override { return {}; }
};

}  // namespace lunaro::engine

#pragma once

#include "engine/codec/lzma_backed_decoder.h"

namespace lunaro::engine {

// Method 95: one xz stream, its own integrity check included.
class TXzDecoder final : public TLzmaBackedDecoder {
public:
    TXzDecoder();

protected:
    TDecodeStatus Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                       uint8_t* out, size_t outCap, size_t& outMade) override;

private:
    lzma_ret Setup;
};

}  // namespace lunaro::engine

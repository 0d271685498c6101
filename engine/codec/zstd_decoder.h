#pragma once

#include "engine/codec/stream_decoder.h"

struct ZSTD_DCtx_s;

namespace lunaro::engine {

// Method 93: one zstd frame.
class TZstdDecoder final : public TStreamDecoder {
public:
    TZstdDecoder();
    ~TZstdDecoder() override;
    TZstdDecoder(const TZstdDecoder&) = delete;
    TZstdDecoder& operator=(const TZstdDecoder&) = delete;

protected:
    TDecodeStatus Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                       uint8_t* out, size_t outCap, size_t& outMade) override;

private:
    ZSTD_DCtx_s* Context;
};

}  // namespace lunaro::engine

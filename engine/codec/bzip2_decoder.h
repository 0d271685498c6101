#pragma once

#include "engine/codec/stream_decoder.h"

#include <bzlib.h>

namespace lunaro::engine {

// Method 12: one bzip2 stream.
class TBzip2Decoder final : public TStreamDecoder {
public:
    TBzip2Decoder();
    ~TBzip2Decoder() override;
    TBzip2Decoder(const TBzip2Decoder&) = delete;
    TBzip2Decoder& operator=(const TBzip2Decoder&) = delete;

protected:
    TDecodeStatus Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                       uint8_t* out, size_t outCap, size_t& outMade) override;

private:
    bz_stream Stream{};
    bool Ready = false;
};

}  // namespace lunaro::engine

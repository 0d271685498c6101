#pragma once

#include "engine/codec/stream_decoder.h"

#include <lzma.h>

namespace lunaro::engine {

// The part the LZMA and xz decoders share: one liblzma stream run over the
// caller's buffers.
class TLzmaBackedDecoder : public TStreamDecoder {
public:
    // Largest window (dictionary) a stream may use: decoding memory stays
    // bounded whatever the archive claims.
    static constexpr uint32_t kMaxWindow = uint32_t{128} << 20;

    TLzmaBackedDecoder() = default;
    ~TLzmaBackedDecoder() override;
    TLzmaBackedDecoder(const TLzmaBackedDecoder&) = delete;
    TLzmaBackedDecoder& operator=(const TLzmaBackedDecoder&) = delete;

protected:
    TDecodeStatus Run(const uint8_t* in, size_t inLen, size_t& inUsed,
                      uint8_t* out, size_t outCap, size_t& outMade);
    // Describes a failed set-up or decoding result.
    TDecodeStatus FailWith(lzma_ret result);

    lzma_stream Stream = LZMA_STREAM_INIT;
};

}  // namespace lunaro::engine

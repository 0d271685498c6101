#pragma once

#include "engine/codec/lzma_backed_decoder.h"

namespace lunaro::engine {

// Method 14: a 4-byte header (version, size of the properties), the 5-byte
// LZMA properties, then raw LZMA data. When the entry says no end marker is
// present, the data simply stops: running out of input is then the end, and
// the caller's size and CRC checks catch a shortened entry.
class TLzmaDecoder final : public TLzmaBackedDecoder {
public:
    explicit TLzmaDecoder(bool endMarker);

protected:
    TDecodeStatus Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                       uint8_t* out, size_t outCap, size_t& outMade) override;

private:
    static constexpr size_t kPropertiesSize = 5;
    static constexpr size_t kHeaderSize = 4 + kPropertiesSize;

    TDecodeStatus StartDecoder();

    bool EndMarker;
    bool Started = false;
    uint8_t Header[kHeaderSize] = {};
    size_t HeaderHave = 0;
};

}  // namespace lunaro::engine

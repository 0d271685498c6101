#include "engine/codec/lzma_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lunaro::engine {

TLzmaDecoder::TLzmaDecoder(bool endMarker) : EndMarker(endMarker) {}

TDecodeStatus TLzmaDecoder::Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                                 uint8_t* out, size_t outCap, size_t& outMade) {
    size_t headerUsed = 0;
    if (!Started) {
        headerUsed = std::min(inLen, kHeaderSize - HeaderHave);
        std::memcpy(Header + HeaderHave, in, headerUsed);
        HeaderHave += headerUsed;
        inUsed = headerUsed;
        if (HeaderHave < kHeaderSize) {
            if (inLen == 0) return Fail("the LZMA header is cut short");
            return TDecodeStatus::dsMore;
        }
        if (const TDecodeStatus s = StartDecoder(); s == TDecodeStatus::dsError) return s;
    }
    size_t used = 0;
    const TDecodeStatus status = Run(in + headerUsed, inLen - headerUsed, used, out, outCap, outMade);
    inUsed = headerUsed + used;
    if (status == TDecodeStatus::dsMore && !EndMarker && inLen == 0 && outCap > 0 && outMade == 0)
        return TDecodeStatus::dsEnd;
    return status;
}

TDecodeStatus TLzmaDecoder::StartDecoder() {
    const size_t propertiesSize = Header[2] | (size_t{Header[3]} << 8);
    if (propertiesSize != kPropertiesSize) return Fail("the LZMA header gives an unexpected properties size");
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (const lzma_ret r = lzma_properties_decode(&filters[0], nullptr, Header + 4, kPropertiesSize);
        r != LZMA_OK)
        return FailWith(r);
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    // A larger window than any sane encoder uses would only serve to exhaust
    // memory; with a smaller one, references beyond it are reported as damage.
    options->dict_size = std::min(options->dict_size, kMaxWindow);
    const lzma_ret r = lzma_raw_decoder(&Stream, filters);
    std::free(options);
    if (r != LZMA_OK) return FailWith(r);
    Started = true;
    return TDecodeStatus::dsMore;
}

}  // namespace lunaro::engine

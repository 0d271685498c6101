#include "engine/codec/stream_decoder.h"

#include <utility>

namespace lunaro::engine {

TDecodeStatus TStreamDecoder::Decode(const uint8_t* in, size_t inLen, size_t& inUsed,
                                     uint8_t* out, size_t outCap, size_t& outMade) {
    inUsed = 0;
    outMade = 0;
    if (Outcome != TDecodeStatus::dsMore) return Outcome;
    TDecodeStatus status = Step(in, inLen, inUsed, out, outCap, outMade);
    if (status == TDecodeStatus::dsMore && inLen == 0 && outCap > 0 && outMade == 0)
        status = Fail("the compressed data ends before the end of its stream");
    Outcome = status;
    return status;
}

TDecodeStatus TStreamDecoder::Fail(std::string why) {
    if (Error.empty()) Error = std::move(why);
    Outcome = TDecodeStatus::dsError;
    return TDecodeStatus::dsError;
}

}  // namespace lunaro::engine

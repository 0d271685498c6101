#include "engine/codec/stored_decoder.h"

#include <algorithm>
#include <cstring>

namespace lunaro::engine {

TDecodeStatus TStoredDecoder::Decode(const uint8_t* in, size_t inLen, size_t& inUsed,
                                     uint8_t* out, size_t outCap, size_t& outMade) {
    const size_t n = std::min(inLen, outCap);
    if (n > 0) std::memcpy(out, in, n);
    inUsed = n;
    outMade = n;
    return TDecodeStatus::dsMore;
}

}  // namespace lunaro::engine

#include "engine/codec/bzip2_decoder.h"

#include <algorithm>
#include <limits>

namespace lunaro::engine {

TBzip2Decoder::TBzip2Decoder() { Ready = BZ2_bzDecompressInit(&Stream, 0, 0) == BZ_OK; }

TBzip2Decoder::~TBzip2Decoder() {
    if (Ready) BZ2_bzDecompressEnd(&Stream);
}

TDecodeStatus TBzip2Decoder::Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                                  uint8_t* out, size_t outCap, size_t& outMade) {
    if (!Ready) return Fail("the bzip2 decoder could not be set up");
    constexpr size_t kMaxPiece = std::numeric_limits<unsigned>::max();
    const unsigned inGiven = static_cast<unsigned>(std::min(inLen, kMaxPiece));
    const unsigned outGiven = static_cast<unsigned>(std::min(outCap, kMaxPiece));
    // The library's fields are not const; it only reads the input.
    Stream.next_in = const_cast<char*>(reinterpret_cast<const char*>(in));
    Stream.avail_in = inGiven;
    Stream.next_out = reinterpret_cast<char*>(out);
    Stream.avail_out = outGiven;
    const int result = BZ2_bzDecompress(&Stream);
    inUsed = inGiven - Stream.avail_in;
    outMade = outGiven - Stream.avail_out;
    switch (result) {
        case BZ_OK: return TDecodeStatus::dsMore;
        case BZ_STREAM_END: return TDecodeStatus::dsEnd;
        case BZ_MEM_ERROR: return Fail("not enough memory to decode bzip2 data");
        default: return Fail("bzip2 data is damaged");
    }
}

}  // namespace lunaro::engine

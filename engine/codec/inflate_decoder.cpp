#include "engine/codec/inflate_decoder.h"

#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <limits>

namespace lunaro::engine {

// The state holds the window and is larger than most small entries; the init
// call sets what it needs, so it is not cleared first.
TInflateDecoder::TInflateDecoder() : State(new inflate_state) {
    isal_inflate_init(State.get());
    State->crc_flag = ISAL_DEFLATE;
}

TInflateDecoder::~TInflateDecoder() = default;

TDecodeStatus TInflateDecoder::Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                                    uint8_t* out, size_t outCap, size_t& outMade) {
    constexpr size_t kMaxPiece = std::numeric_limits<uint32_t>::max();
    const uint32_t inGiven = static_cast<uint32_t>(std::min(inLen, kMaxPiece));
    const uint32_t outGiven = static_cast<uint32_t>(std::min(outCap, kMaxPiece));
    State->next_in = const_cast<uint8_t*>(in);  // the library's field is not const; it only reads
    State->avail_in = inGiven;
    State->next_out = out;
    State->avail_out = outGiven;
    const int result = isal_inflate(State.get());
    // On damaged data the library may hand back bits it had buffered, leaving
    // more input available than it was given; never report more than was given.
    inUsed = State->avail_in <= inGiven ? inGiven - State->avail_in : 0;
    outMade = State->avail_out <= outGiven ? outGiven - State->avail_out : 0;
    switch (result) {
        case ISAL_DECOMP_OK:
        case ISAL_END_INPUT:
        case ISAL_OUT_OVERFLOW:
            break;
        case ISAL_INVALID_LOOKBACK:
            return Fail("deflate data refers back beyond the data decoded so far");
        case ISAL_INVALID_SYMBOL:
            return Fail("deflate data holds an invalid code");
        default:
            return Fail("deflate data holds an invalid block");
    }
    if (State->block_state != ISAL_BLOCK_FINISH) return TDecodeStatus::dsMore;
    // The decoder reads ahead into its bit buffer; whole bytes left there lie
    // after the stream's end and were not really used.
    const size_t unread = static_cast<size_t>(State->read_in_length / 8);
    inUsed -= std::min(inUsed, unread);
    return TDecodeStatus::dsEnd;
}

}  // namespace lunaro::engine

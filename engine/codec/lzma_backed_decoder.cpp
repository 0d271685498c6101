#include "engine/codec/lzma_backed_decoder.h"

namespace lunaro::engine {

TLzmaBackedDecoder::~TLzmaBackedDecoder() { lzma_end(&Stream); }

TDecodeStatus TLzmaBackedDecoder::Run(const uint8_t* in, size_t inLen, size_t& inUsed,
                                      uint8_t* out, size_t outCap, size_t& outMade) {
    Stream.next_in = in;
    Stream.avail_in = inLen;
    Stream.next_out = out;
    Stream.avail_out = outCap;
    const lzma_ret result = lzma_code(&Stream, LZMA_RUN);
    inUsed = inLen - Stream.avail_in;
    outMade = outCap - Stream.avail_out;
    switch (result) {
        case LZMA_OK:
        case LZMA_BUF_ERROR:  // no progress possible now; the caller decides whether input is over
            return TDecodeStatus::dsMore;
        case LZMA_STREAM_END:
            return TDecodeStatus::dsEnd;
        default:
            return FailWith(result);
    }
}

TDecodeStatus TLzmaBackedDecoder::FailWith(lzma_ret result) {
    switch (result) {
        case LZMA_MEM_ERROR: return Fail("not enough memory to decode LZMA data");
        case LZMA_MEMLIMIT_ERROR: return Fail("LZMA data needs a window larger than allowed");
        case LZMA_FORMAT_ERROR: return Fail("xz data does not start with an xz header");
        case LZMA_OPTIONS_ERROR: return Fail("LZMA data uses unsupported options");
        case LZMA_UNSUPPORTED_CHECK: return Fail("xz data uses an unsupported check");
        default: return Fail("LZMA data is damaged");
    }
}

}  // namespace lunaro::engine

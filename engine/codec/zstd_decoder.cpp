#include "engine/codec/zstd_decoder.h"

#include <zstd.h>

#include <string>

namespace lunaro::engine {
namespace {

// 2^27 bytes: the same window ceiling as the LZMA decoders.
constexpr int kMaxWindowLog = 27;

}  // namespace

TZstdDecoder::TZstdDecoder() : Context(ZSTD_createDCtx()) {
    if (Context != nullptr) ZSTD_DCtx_setParameter(Context, ZSTD_d_windowLogMax, kMaxWindowLog);
}

TZstdDecoder::~TZstdDecoder() { ZSTD_freeDCtx(Context); }

TDecodeStatus TZstdDecoder::Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                                 uint8_t* out, size_t outCap, size_t& outMade) {
    if (Context == nullptr) return Fail("the zstd decoder could not be set up");
    ZSTD_inBuffer input{in, inLen, 0};
    ZSTD_outBuffer output{out, outCap, 0};
    const size_t result = ZSTD_decompressStream(Context, &output, &input);
    inUsed = input.pos;
    outMade = output.pos;
    if (ZSTD_isError(result)) return Fail(std::string("zstd data is damaged: ") + ZSTD_getErrorName(result));
    return result == 0 ? TDecodeStatus::dsEnd : TDecodeStatus::dsMore;
}

}  // namespace lunaro::engine

#include "engine/codec/xz_decoder.h"

namespace lunaro::engine {
namespace {

// Room for the window plus the decoder's own tables.
constexpr uint64_t kMemoryLimit = uint64_t{TLzmaBackedDecoder::kMaxWindow} + (uint64_t{8} << 20);

}  // namespace

TXzDecoder::TXzDecoder() : Setup(lzma_stream_decoder(&Stream, kMemoryLimit, 0)) {}

TDecodeStatus TXzDecoder::Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                               uint8_t* out, size_t outCap, size_t& outMade) {
    if (Setup != LZMA_OK) return FailWith(Setup);
    return Run(in, inLen, inUsed, out, outCap, outMade);
}

}  // namespace lunaro::engine

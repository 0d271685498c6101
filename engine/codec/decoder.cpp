#include "engine/codec/decoder.h"

#include "engine/codec/bzip2_decoder.h"
#include "engine/codec/deflate64_decoder.h"
#include "engine/codec/inflate_decoder.h"
#include "engine/codec/lzma_decoder.h"
#include "engine/codec/stored_decoder.h"
#include "engine/codec/xz_decoder.h"
#include "engine/codec/zstd_decoder.h"

namespace lunaro::engine {

std::unique_ptr<TDecoder> MakeDecoder(uint16_t method, uint16_t generalFlags) {
    constexpr uint16_t kLzmaEndMarker = 0x0002;
    switch (method) {
        case 0: return std::make_unique<TStoredDecoder>();
        case 8: return std::make_unique<TInflateDecoder>();
        case 9: return std::make_unique<TDeflate64Decoder>();
        case 12: return std::make_unique<TBzip2Decoder>();
        case 14: return std::make_unique<TLzmaDecoder>((generalFlags & kLzmaEndMarker) != 0);
        case 93: return std::make_unique<TZstdDecoder>();
        case 95: return std::make_unique<TXzDecoder>();
        default: return nullptr;
    }
}

}  // namespace lunaro::engine

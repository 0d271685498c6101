#include "engine/codec/deflate_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace lunaro::engine {

TDeflateEncoder::TDeflateEncoder(int level) : fStream(std::make_unique<z_stream_s>()) {
    constexpr int kRawWindowBits = -15;  // negative: no zlib header or trailer
    constexpr int kMemLevel = 8;
    if (deflateInit2(fStream.get(), std::clamp(level, 0, 9), Z_DEFLATED, kRawWindowBits, kMemLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
}

TDeflateEncoder::~TDeflateEncoder() { deflateEnd(fStream.get()); }

bool TDeflateEncoder::Encode(const uint8_t* in, size_t inLen, size_t& inUsed, uint8_t* out, size_t outCap,
                             size_t& outMade, bool finish) {
    inUsed = 0;
    outMade = 0;
    if (fEnded) return true;
    constexpr size_t kMaxPiece = std::numeric_limits<uInt>::max();
    const auto inGiven = static_cast<uInt>(std::min(inLen, kMaxPiece));
    const auto outGiven = static_cast<uInt>(std::min(outCap, kMaxPiece));
    fStream->next_in = const_cast<Bytef*>(in);  // the library's field is not const; it only reads
    fStream->avail_in = inGiven;
    fStream->next_out = out;
    fStream->avail_out = outGiven;
    // Finishing only once the last piece is given whole: a partly taken
    // piece is finished on the next call with the rest.
    const int result = deflate(fStream.get(), finish && inGiven == inLen ? Z_FINISH : Z_NO_FLUSH);
    inUsed = inGiven - fStream->avail_in;
    outMade = outGiven - fStream->avail_out;
    // Z_BUF_ERROR only says no progress was possible with this room; the
    // compressor's state is intact.
    if (result == Z_STREAM_ERROR) throw std::logic_error("the compressor's state is damaged");
    fEnded = result == Z_STREAM_END;
    return fEnded;
}

}  // namespace lunaro::engine

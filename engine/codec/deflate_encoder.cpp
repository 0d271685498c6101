#include "engine/codec/deflate_encoder.h"

#include <libdeflate.h>
#include <zlib.h>

#include <new>
#include <stdexcept>

namespace lunaro::engine {

TWholeDeflater::TWholeDeflater(int level) : fCompressor(libdeflate_alloc_compressor(level)) {
    if (fCompressor == nullptr) throw std::bad_alloc();
}

TWholeDeflater::~TWholeDeflater() { libdeflate_free_compressor(fCompressor); }

bool TWholeDeflater::Compress(const uint8_t* in, size_t len, std::vector<uint8_t>& out) {
    if (len == 0) {
        out.clear();
        return false;
    }
    out.resize(len);
    const size_t made = libdeflate_deflate_compress(fCompressor, in, len, out.data(), len);
    out.resize(made);
    return made != 0 && made < len;
}

TPieceDeflater::TPieceDeflater(int level) : fStream(new z_stream{}) {
    if (deflateInit2(fStream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        delete fStream;
        throw std::bad_alloc();
    }
}

TPieceDeflater::~TPieceDeflater() {
    deflateEnd(fStream);
    delete fStream;
}

void TPieceDeflater::Compress(const uint8_t* dictionary, size_t dictionaryLen, const uint8_t* in, size_t len,
                              bool last, std::vector<uint8_t>& out) {
    deflateReset(fStream);
    if (dictionaryLen > 0) deflateSetDictionary(fStream, dictionary, static_cast<uInt>(dictionaryLen));
    // Room for the worst case plus the flush marker: one call does it all.
    out.resize(deflateBound(fStream, static_cast<uLong>(len)) + 16);
    fStream->next_in = const_cast<Bytef*>(in);
    fStream->avail_in = static_cast<uInt>(len);
    fStream->next_out = out.data();
    fStream->avail_out = static_cast<uInt>(out.size());
    const int result = deflate(fStream, last ? Z_FINISH : Z_SYNC_FLUSH);
    if ((last && result != Z_STREAM_END) || (!last && result != Z_OK) || fStream->avail_in != 0)
        throw std::runtime_error("deflate could not finish a piece");
    out.resize(out.size() - fStream->avail_out);
}

}  // namespace lunaro::engine

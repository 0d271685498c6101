#pragma once
// Raw deflate for the entries the engine writes. A file small enough to be
// held whole goes through the whole-buffer compressor, several times faster
// than a streaming one at the same ratio; a longer one is cut into pieces
// that are compressed independently (each primed with the 32 KiB before it,
// so the ratio barely suffers) and simply laid end to end.
#include <cstddef>
#include <cstdint>
#include <vector>

struct libdeflate_compressor;
struct z_stream_s;

namespace lunaro::engine {

inline constexpr size_t kDeflateWindow = 32768;

class TWholeDeflater {
public:
    explicit TWholeDeflater(int level);
    ~TWholeDeflater();
    TWholeDeflater(const TWholeDeflater&) = delete;
    TWholeDeflater& operator=(const TWholeDeflater&) = delete;

    // The compressed bytes in out; false when they would not be smaller than
    // the input (the entry is then better stored).
    bool Compress(const uint8_t* in, size_t len, std::vector<uint8_t>& out);

private:
    libdeflate_compressor* fCompressor;
};

class TPieceDeflater {
public:
    explicit TPieceDeflater(int level);
    ~TPieceDeflater();
    TPieceDeflater(const TPieceDeflater&) = delete;
    TPieceDeflater& operator=(const TPieceDeflater&) = delete;

    // dictionary: the up to 32 KiB of the stream just before in. A piece
    // that is not the last ends on a byte boundary without ending the
    // stream, so that the next piece can follow it directly.
    void Compress(const uint8_t* dictionary, size_t dictionaryLen, const uint8_t* in, size_t len, bool last,
                  std::vector<uint8_t>& out);

private:
    z_stream_s* fStream;
};

}  // namespace lunaro::engine

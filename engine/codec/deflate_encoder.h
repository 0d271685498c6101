#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct z_stream_s;

namespace lunaro::engine {

// Raw deflate (no header, no trailer), fed in pieces so that memory stays
// bounded whatever the input size.
class TDeflateEncoder {
public:
    // level 0 (stored blocks) to 9; values outside are clamped. Throws
    // std::bad_alloc when the compressor cannot get its memory.
    explicit TDeflateEncoder(int level);
    ~TDeflateEncoder();
    TDeflateEncoder(const TDeflateEncoder&) = delete;
    TDeflateEncoder& operator=(const TDeflateEncoder&) = delete;

    // Compresses from [in, in+inLen) into [out, out+outCap); sets inUsed and
    // outMade. finish says no input follows what is given; true once the
    // stream's end has been handed out. Calls after that make nothing.
    bool Encode(const uint8_t* in, size_t inLen, size_t& inUsed, uint8_t* out, size_t outCap, size_t& outMade,
                bool finish);

private:
    std::unique_ptr<z_stream_s> fStream;
    bool fEnded = false;
};

}  // namespace lunaro::engine

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace lunaro::engine {

enum class TDecodeStatus : uint8_t { dsMore, dsEnd, dsError };

// One entry's decompressor, fed in pieces so that memory stays bounded
// whatever the entry size.
class TDecoder {
public:
    virtual ~TDecoder() = default;
    // Decodes from [in, in+inLen) into [out, out+outCap); sets inUsed and outMade.
    // dsEnd once the compressed stream's own end has been decoded (a stored
    // entry never reports dsEnd: the caller counts its bytes); dsError on
    // corrupt data, with ErrorText() telling why. Never reads or writes past the
    // given ranges; memory bounded whatever the entry size.
    // Input a decoder takes is consumed for good, so no call with input and
    // output room stalls. A call with inLen 0 and outCap > 0 that makes
    // nothing means the input is over: a stream not yet at its end is then
    // dsError (cut short), except LZMA without an end marker, whose end is the
    // end of its input (dsEnd; the caller's size and CRC checks catch a cut).
    // After dsEnd or dsError every call returns the same, making nothing.
    virtual TDecodeStatus Decode(const uint8_t* in, size_t inLen, size_t& inUsed,
                                 uint8_t* out, size_t outCap, size_t& outMade) = 0;
    virtual std::string ErrorText() const = 0;
};

// A decoder for the zip method (0 stored, 8 deflate, 9 deflate64, 12 bzip2,
// 14 LZMA (with the zip LZMA header; generalFlags bit 1 = end marker present),
// 93 zstd, 95 xz); nullptr for a method this engine cannot decode.
std::unique_ptr<TDecoder> MakeDecoder(uint16_t method, uint16_t generalFlags);

}  // namespace lunaro::engine

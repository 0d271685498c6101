#pragma once

#include "engine/codec/decoder.h"

namespace lunaro::engine {

// What every compressed-stream decoder shares: once failed it stays failed,
// once ended it makes nothing more, and a call without input that cannot
// produce anything means the compressed data stopped before its end (the
// caller has nothing more to give), which is an error rather than a wait.
class TStreamDecoder : public TDecoder {
public:
    TDecodeStatus Decode(const uint8_t* in, size_t inLen, size_t& inUsed,
                         uint8_t* out, size_t outCap, size_t& outMade) final;
    std::string ErrorText() const final { return Error; }

protected:
    // One pass of the format's decoder; returns dsEnd only when the stream's
    // own end has been reached and everything decoded has been handed out.
    virtual TDecodeStatus Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                               uint8_t* out, size_t outCap, size_t& outMade) = 0;
    // Records why the data cannot be decoded; returns dsError.
    TDecodeStatus Fail(std::string why);

private:
    TDecodeStatus Outcome = TDecodeStatus::dsMore;
    std::string Error;
};

}  // namespace lunaro::engine

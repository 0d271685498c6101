#include "engine/exec/stream_sink.h"

#include "engine/exec/stream_request.h"

#include <algorithm>
#include <climits>

namespace lunaro::engine {

TStreamSink::~TStreamSink() {
    if (fOpen) Request(ZE_STREAM_CLOSE);
}

int32_t TStreamSink::Request(int32_t op, uint8_t* buffer, int32_t length, int32_t* done) {
    TZStreamRec rec{};
    rec.StrmP = fStream;
    rec.Number = fNumber;
    rec.OpCode = op;
    rec.BufP = buffer;
    rec.ArgI = length;
    const int32_t answer = CallStream(fCommand, rec);
    if (op == ZE_STREAM_OPEN && answer == 1) fStream = rec.StrmP;
    if (done) *done = rec.ArgI;
    return answer;
}

bool TStreamSink::Open(std::string& error) {
    fOpen = Request(ZE_STREAM_OPEN) == 1 && fStream != nullptr;
    if (!fOpen) error = "the caller offers no stream " + std::to_string(fNumber);
    return fOpen;
}

bool TStreamSink::Write(const uint8_t* data, size_t len, std::string& error) {
    while (len > 0) {
        const auto chunk = static_cast<int32_t>(std::min<size_t>(len, INT_MAX / 2));
        int32_t written = 0;
        // The record's buffer is not const; the caller only reads from it.
        if (Request(ZE_STREAM_WRITE, const_cast<uint8_t*>(data), chunk, &written) != 1 || written != chunk) {
            error = "the caller's stream took less than it was given";
            return false;
        }
        data += chunk;
        len -= static_cast<size_t>(chunk);
    }
    return true;
}

}  // namespace lunaro::engine

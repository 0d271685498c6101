#include "engine/exec/stream_sink.h"

#include <algorithm>
#include <climits>

#include "engine/exec/stream_request.h"

namespace lunaro::engine {

TStreamSink::~TStreamSink() {
    if (fOpen) RequestStream(fCommand, fStream, fNumber, ZE_STREAM_CLOSE);
}

bool TStreamSink::Open(std::string& error) {
    const TStreamReply reply = RequestStream(fCommand, fStream, fNumber, ZE_STREAM_OPEN);
    if (reply.Answer == 1) fStream = reply.Stream;
    fOpen = reply.Answer == 1 && fStream != nullptr;
    if (!fOpen) error = "the caller offers no stream " + std::to_string(fNumber);
    return fOpen;
}

bool TStreamSink::Write(const uint8_t* data, size_t len, std::string& error) {
    while (len > 0) {
        const auto chunk = static_cast<int32_t>(std::min<size_t>(len, INT_MAX / 2));
        // The record's buffer is not const; the caller only reads from it.
        const TStreamReply reply =
            RequestStream(fCommand, fStream, fNumber, ZE_STREAM_WRITE, const_cast<uint8_t*>(data), chunk);
        if (reply.Answer != 1 || reply.Done != chunk) {
            error = "the caller's stream took less than it was given";
            return false;
        }
        data += chunk;
        len -= static_cast<size_t>(chunk);
    }
    return true;
}

}  // namespace lunaro::engine

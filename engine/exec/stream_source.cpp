#include "engine/exec/stream_source.h"

#include <algorithm>
#include <climits>

#include "engine/exec/stream_request.h"

namespace lunaro::engine {

int64_t TStreamSource::Read(uint8_t* buffer, size_t cap) {
    if (fEnded || fRemaining <= 0 || cap == 0) return 0;
    const auto want = static_cast<int32_t>(std::min<int64_t>({fRemaining, static_cast<int64_t>(cap), INT_MAX / 2}));
    const TStreamReply reply = RequestStream(fCommand, fStream, -1, ZE_STREAM_READ, buffer, want);
    // 1 promises the whole request, 0 a shorter one: anything else is a
    // caller that cannot be believed.
    const bool whole = reply.Answer == 1 && reply.Done == want;
    const bool shorter = reply.Answer == 0 && reply.Done >= 0 && reply.Done < want;
    if (!whole && !shorter) return -1;
    fEnded = shorter;
    fRemaining -= reply.Done;
    fTaken += reply.Done;
    return reply.Done;
}

}  // namespace lunaro::engine

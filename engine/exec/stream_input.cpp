#include "engine/exec/stream_input.h"

#include <algorithm>
#include <climits>

#include "engine/exec/stream_request.h"

namespace lunaro::engine {

int64_t TStreamInput::Read(uint8_t* buffer, size_t cap) {
    if (fEnded || fRemaining <= 0 || cap == 0) return 0;
    const auto want = static_cast<int32_t>(std::min<int64_t>({fRemaining, static_cast<int64_t>(cap), INT_MAX / 2}));
    TZStreamRec rec{};
    rec.StrmP = fStream;
    rec.Number = -1;
    rec.OpCode = ZE_STREAM_READ;
    rec.BufP = buffer;
    rec.ArgI = want;
    const int32_t answer = CallStream(fCommand, rec);
    // 1 promises the whole request, 0 a shorter one: anything else is a
    // caller that cannot be believed.
    const bool whole = answer == 1 && rec.ArgI == want;
    const bool shorter = answer == 0 && rec.ArgI >= 0 && rec.ArgI < want;
    if (!whole && !shorter) return -1;
    fEnded = shorter;
    fRemaining -= rec.ArgI;
    fTaken += rec.ArgI;
    return rec.ArgI;
}

}  // namespace lunaro::engine

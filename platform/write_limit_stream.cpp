#include "platform/write_limit_stream.h"

#include <algorithm>

namespace lunaro::platform {

int64_t TWriteLimitStream::Write(const void* buffer, int64_t count) {
    const int64_t allowed = std::clamp<int64_t>(count, 0, left_);
    if (allowed < count) refused_ = true;
    const int64_t written = allowed > 0 ? target_.Write(buffer, allowed) : 0;
    left_ -= written;
    return written;
}

}  // namespace lunaro::platform

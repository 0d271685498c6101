#pragma once
// Limits on one transfer as a whole, whatever protocol carries it. The
// per-call timeouts only bound each wait, so a peer that sends one byte just
// before every timeout could hold a transfer for ever; these bound the
// transfer itself. A zero turns the limit off.
#include <cstdint>

namespace lunaro::net {

struct TTransferLimits {
    // Fails once fewer than LowSpeedBytesPerSec * LowSpeedSeconds bytes
    // arrived during the last LowSpeedSeconds (both must be non-zero).
    uint32_t LowSpeedBytesPerSec = 0;
    uint32_t LowSpeedSeconds = 0;
    // Fails once the transfer has run longer than this.
    uint32_t MaxSeconds = 0;
};

}  // namespace lunaro::net

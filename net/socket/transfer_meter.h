#pragma once
// TTransferMeter: judges the bytes of one transfer against its
// TTransferLimits. It keeps what arrived in a few time slots covering the
// low-speed window, so its memory stays the same whatever the window.
// Times are TickNow() milliseconds, passed in so the judgement can be
// checked without waiting.
#include <cstdint>
#include <deque>
#include <string>

#include "net/socket/transfer_limits.h"

namespace lunaro::net {

class TTransferMeter {
public:
    // Starts the clock of both limits at Now and forgets earlier bytes.
    void Arm(const TTransferLimits& Limits, uint32_t Now);
    bool Active() const { return FLowSpeedActive || FLimits.MaxSeconds > 0; }
    void Count(int64_t Bytes, uint32_t Now);
    // "" while the transfer keeps within its limits, else the limit it broke:
    // "transfer slower than N bytes/s for S s" or "transfer longer than S s".
    std::string Breach(uint32_t Now);

private:
    struct TSlot {
        uint32_t Start;
        int64_t Bytes;
    };
    void DropSlotsBefore(uint32_t Now);

    TTransferLimits FLimits;
    bool FLowSpeedActive = false;
    uint32_t FArmed = 0;
    uint32_t FSlotWidth = 1;
    std::deque<TSlot> FSlots;
};

}  // namespace lunaro::net

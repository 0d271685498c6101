#include "net/socket/transfer_meter.h"

#include <algorithm>

#include "net/text_utils.h"

namespace lunaro::net {

namespace {

// The low-speed window is split into this many slots: a slot that began
// before the window but reaches into it still counts, so the judgement errs
// by at most one slot in the transfer's favour.
constexpr uint32_t kSlotsPerWindow = 16;

}  // namespace

void TTransferMeter::Arm(const TTransferLimits& Limits, uint32_t Now) {
    FLimits = Limits;
    FLowSpeedActive = Limits.LowSpeedBytesPerSec > 0 && Limits.LowSpeedSeconds > 0;
    FArmed = Now;
    FSlotWidth = std::max<uint32_t>(1, static_cast<uint32_t>(
                                           std::min<uint64_t>(uint64_t{Limits.LowSpeedSeconds} * 1000 / kSlotsPerWindow,
                                                              UINT32_MAX / 2)));
    FSlots.clear();
}

void TTransferMeter::Count(int64_t Bytes, uint32_t Now) {
    if (!FLowSpeedActive || Bytes <= 0) return;
    if (!FSlots.empty() && TickElapsed(FSlots.back().Start, Now) < FSlotWidth) {
        FSlots.back().Bytes += Bytes;
    } else {
        FSlots.push_back({Now, Bytes});
    }
    DropSlotsBefore(Now);
}

void TTransferMeter::DropSlotsBefore(uint32_t Now) {
    const uint64_t keep = uint64_t{FLimits.LowSpeedSeconds} * 1000 + FSlotWidth;
    while (!FSlots.empty() && TickElapsed(FSlots.front().Start, Now) >= keep) FSlots.pop_front();
}

std::string TTransferMeter::Breach(uint32_t Now) {
    const uint64_t running = TickElapsed(FArmed, Now);
    if (FLimits.MaxSeconds > 0 && running > uint64_t{FLimits.MaxSeconds} * 1000)
        return "transfer longer than " + std::to_string(FLimits.MaxSeconds) + " s";
    if (!FLowSpeedActive) return {};
    const uint64_t window = uint64_t{FLimits.LowSpeedSeconds} * 1000;
    if (running < window) return {};
    DropSlotsBefore(Now);
    int64_t received = 0;
    for (const TSlot& slot : FSlots) received += slot.Bytes;
    const int64_t wanted = int64_t{FLimits.LowSpeedBytesPerSec} * FLimits.LowSpeedSeconds;
    if (received >= wanted) return {};
    return "transfer slower than " + std::to_string(FLimits.LowSpeedBytesPerSec) + " bytes/s for " +
           std::to_string(FLimits.LowSpeedSeconds) + " s";
}

}  // namespace lunaro::net

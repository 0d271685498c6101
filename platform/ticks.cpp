#include "platform/ticks.h"

#include <time.h>

namespace lunaro::platform {

namespace {

constexpr int64_t kNanosecondsPerSecond = 1'000'000'000;

}  // namespace

int64_t PerformanceCounter() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

int64_t PerformanceFrequency() { return kNanosecondsPerSecond; }

uint32_t TickCount() { return static_cast<uint32_t>(static_cast<uint64_t>(PerformanceCounter() / 1'000'000)); }

}  // namespace lunaro::platform

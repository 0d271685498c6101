#pragma once
// Clocks for timeouts and transfer speeds. All are monotonic: a change of the
// wall clock never makes time run backwards.
#include <cstdint>

namespace lunaro::platform {

// Milliseconds since an arbitrary start, kept to 32 bits (wraps after about
// 49.7 days, as the platform's tick count does).
uint32_t TickCount();

// A high-resolution counter and the number of its counts per second.
int64_t PerformanceCounter();
int64_t PerformanceFrequency();

}  // namespace lunaro::platform

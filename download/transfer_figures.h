#pragma once
// The arithmetic behind a download's progress report: elapsed time split as
// a time of day, average speed in KB/s (1 KB = 1024 bytes) and the estimated
// seconds left, with the 16-bit wrap the progress events carry.
#include <cstdint>

namespace lunaro::download {

// The local wall clock as a date-time day count with millisecond resolution.
double NowDateTime();

struct TTimeOfDay {
    uint16_t Hour = 0;
    uint16_t Min = 0;
    uint16_t Sec = 0;
    uint16_t MSec = 0;
};

// The fraction of a day count as hours, minutes, seconds and milliseconds;
// whole days are dropped and a negative span is taken by its size.
TTimeOfDay SplitTimeOfDay(double days);

// A value truncated toward zero and wrapped into 16 bits (a negative value
// wraps around). Huge values wrap like their integer part; NaN and the
// infinities give 0.
uint16_t TruncWrap16(double value);

struct TMonitorFigures {
    double AverageSpeed = 0;  // KB/s
    uint16_t Hour = 0;        // elapsed
    uint16_t Min = 0;         // elapsed
    uint16_t Sec = 0;         // seconds left, or elapsed seconds while no speed is known
};

// The figures of one monitor report. elapsedDays is now minus the start
// time; previousSpeed is kept when no time has passed.
TMonitorFigures ComputeMonitorFigures(double elapsedDays, int64_t bytesToDownload, int64_t bytesDownloaded,
                                      double previousSpeed);

}  // namespace lunaro::download

#include "download/transfer_figures.h"

#include <cmath>
#include <ctime>

#include "platform/date_time.h"

namespace lunaro::download {

namespace {

constexpr double kMSecsPerDay = 86400000.0;

}  // namespace

double NowDateTime() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return platform::DateTimeFromUnixTime(now.tv_sec) + static_cast<double>(now.tv_nsec / 1000000) / kMSecsPerDay;
}

TTimeOfDay SplitTimeOfDay(double days) {
    if (!std::isfinite(days)) return {};
    double ms = std::round(std::fabs(days - std::trunc(days)) * kMSecsPerDay);
    if (ms >= kMSecsPerDay) ms = 0;
    auto total = static_cast<uint32_t>(ms);
    TTimeOfDay parts;
    parts.MSec = static_cast<uint16_t>(total % 1000);
    total /= 1000;
    parts.Sec = static_cast<uint16_t>(total % 60);
    total /= 60;
    parts.Min = static_cast<uint16_t>(total % 60);
    parts.Hour = static_cast<uint16_t>(total / 60);
    return parts;
}

uint16_t TruncWrap16(double value) {
    if (!std::isfinite(value)) return 0;
    double wrapped = std::fmod(std::trunc(value), 65536.0);
    if (wrapped < 0) wrapped += 65536.0;
    return static_cast<uint16_t>(wrapped);
}

TMonitorFigures ComputeMonitorFigures(double elapsedDays, int64_t bytesToDownload, int64_t bytesDownloaded,
                                      double previousSpeed) {
    const TTimeOfDay elapsed = SplitTimeOfDay(elapsedDays);
    // Whole elapsed seconds are kept in 16 bits, as the progress events carry them.
    const auto wholeSeconds =
        static_cast<uint16_t>(elapsed.Min * 60u + elapsed.Sec + elapsed.Hour * 3600u);
    const double seconds = wholeSeconds + elapsed.MSec / 1000.0;

    TMonitorFigures figures;
    figures.AverageSpeed = seconds > 0 ? static_cast<double>(bytesDownloaded) / 1024.0 / seconds : previousSpeed;
    figures.Hour = elapsed.Hour;
    figures.Min = elapsed.Min;
    figures.Sec = wholeSeconds;
    if (figures.AverageSpeed > 0) {
        figures.Sec = TruncWrap16(static_cast<double>(bytesToDownload - bytesDownloaded) / 1024.0 /
                                  figures.AverageSpeed);
    }
    return figures;
}

}  // namespace lunaro::download

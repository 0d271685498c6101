#include "app/retry_with_pause.h"

#include <algorithm>
#include <string>

namespace lunaro::app {

namespace {

constexpr std::chrono::seconds kLongestPause{60};

}  // namespace

RetryWithPause::RetryWithPause(InstallLog& log, int retries, Sleeper sleeper)
    : log_(log), retries_(retries), sleeper_(std::move(sleeper)) {}

std::chrono::seconds RetryWithPause::PauseBefore(int attempt) {
    const int doublings = std::clamp(attempt - 2, 0, 6);  // 2^6 already exceeds the longest pause
    return std::min(std::chrono::seconds(1 << doublings), kLongestPause);
}

bool RetryWithPause::TryAgain(const FetchFailure& failure) {
    log_.Write(FetchFailureText(failure));
    if (failure.attempt > retries_) {
        log_.Write("Giving up on " + failure.packageName + " after " + std::to_string(failure.attempt) +
                   (failure.attempt == 1 ? " attempt." : " attempts."));
        return false;
    }
    const std::chrono::seconds pause = PauseBefore(failure.attempt + 1);
    log_.Write("Trying " + failure.packageName + " again in " + std::to_string(pause.count()) + " s.");
    if (sleeper_) sleeper_(pause);
    return true;
}

}  // namespace lunaro::app

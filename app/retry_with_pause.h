#pragma once
// Unattended answer to a failed fetch: log it, wait, try again, with a pause
// that doubles from one try to the next, until the retries are used up.
#include <chrono>
#include <functional>

#include "app/fetch_failure.h"
#include "app/install_log.h"

namespace lunaro::app {

class RetryWithPause : public FetchFailureHandler {
public:
    using Sleeper = std::function<void(std::chrono::seconds)>;

    // retries further attempts per package; sleeper waits (tests pass one
    // that only records).
    RetryWithPause(InstallLog& log, int retries, Sleeper sleeper);
    bool TryAgain(const FetchFailure& failure) override;

    // 1 s before the second attempt, then 2, 4, ... up to 60 s.
    static std::chrono::seconds PauseBefore(int attempt);

private:
    InstallLog& log_;
    int retries_;
    Sleeper sleeper_;
};

}  // namespace lunaro::app

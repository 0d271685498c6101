#pragma once
// The installation without a window, for deployment scripts.
#include <string>
#include <vector>

#include "app/retry_with_pause.h"

namespace lunaro::app {

// Runs the unattended mode with the arguments after the program name and
// returns the process exit code (exit_codes.h). The sleeper waits between
// attempts of a failed package.
int RunUnattended(const std::vector<std::string>& arguments, RetryWithPause::Sleeper sleeper);

}  // namespace lunaro::app

#pragma once
// What the unattended mode tells the script that started it.
namespace lunaro::app {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitUnexpectedError = 1,   // an error none of the codes below describes
    kExitBadArguments = 2,      // unknown or conflicting options, unusable log file
    kExitRefused = 3,           // a check refused the start (already installed, missing connection data)
    kExitFetchFailed = 4,       // a package could not be fetched after the retries
    kExitConfigWriteFailed = 5, // a configuration value could not be written
    kExitUnpackFailed = 6,      // a package could not be unpacked
    kExitInterrupted = 7,       // an interrupted installation waits for --resume
};

}  // namespace lunaro::app

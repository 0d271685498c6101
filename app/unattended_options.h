#pragma once
// The command line of the unattended mode.
#include <optional>
#include <string>
#include <vector>

#include "app/install_choices.h"
#include "net/proxy_environment.h"

namespace lunaro::app {

enum class Verbosity {
    Silent,      // progress and messages on the terminal as well as in the log
    VerySilent,  // nothing but the log
};

struct UnattendedOptions {
    bool help = false;
    Verbosity verbosity = Verbosity::Silent;
    InstallChoices choices;
    std::optional<std::string> baseUrl;
    std::optional<std::string> driveC;
    std::string logFile;  // empty: no log file
    int retries = 3;      // further attempts for a package that failed
    bool resume = false;  // continue an interrupted installation
    std::string caCertFile;                 // empty: the system's trust store
    std::optional<net::TProxyChoice> proxy;  // empty: the environment's proxy settings
    std::optional<std::string> engineDigest;  // SHA-256 of an extraction engine to trust
};

inline constexpr int kMaxRetries = 100;

struct ParsedOptions {
    std::optional<UnattendedOptions> options;
    std::string error;  // why the arguments were refused, when options is empty
};

// Parses the arguments after the program name. --help wins over everything
// else; otherwise exactly one of --silent and --very-silent is required.
ParsedOptions ParseUnattendedOptions(const std::vector<std::string>& arguments);

std::string UnattendedHelpText();

}  // namespace lunaro::app

#include "app/unattended_options.h"

#include <charconv>

#include "platform/files.h"
#include "app/engine_admission.h"
#include "platform/text_case.h"

namespace lunaro::app {

namespace {

// The window's boxes hold at most this many characters.
constexpr size_t kServerLength = 100;
constexpr size_t kPathLength = 200;
constexpr size_t kAliasLength = 100;

size_t CharacterCount(const std::string& text) {
    size_t count = 0;
    for (unsigned char byte : text)
        if ((byte & 0xC0) != 0x80) ++count;
    return count;
}

ParsedOptions Refuse(std::string why) { return ParsedOptions{std::nullopt, std::move(why)}; }

// "--name=value" split at the first '='; options without a value keep an
// empty one and hasValue false.
struct Argument {
    std::string name;
    std::string value;
    bool hasValue = false;
};

Argument Split(const std::string& text) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos) return {text, "", false};
    return {text.substr(0, equals), text.substr(equals + 1), true};
}

std::optional<InstallMode> ModeNamed(const std::string& name) {
    if (name == "full") return InstallMode::Full;
    if (name == "workstation") return InstallMode::Workstation;
    if (name == "pos") return InstallMode::PointOfSaleOnly;
    return std::nullopt;
}

std::optional<int> RetryCount(const std::string& text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > kMaxRetries)
        return std::nullopt;
    return value;
}

bool IsHttpAddress(const std::string& text) {
    const std::string upper = platform::AsciiUpperCase(text.substr(0, 8));
    return (upper.starts_with("HTTP://") && text.size() > 7) || (upper == "HTTPS://" && text.size() > 8);
}

// Options that only make sense together with others.
std::string CombinationError(const UnattendedOptions& options, bool networkGiven, bool cloudGiven) {
    if (networkGiven && cloudGiven) return "--server/--db-path and --company exclude each other";
    if ((networkGiven || cloudGiven) && options.choices.mode != InstallMode::Workstation)
        return "--server, --db-path and --company apply to --mode=workstation only";
    return "";
}

}  // namespace

ParsedOptions ParseUnattendedOptions(const std::vector<std::string>& arguments) {
    UnattendedOptions options;
    std::optional<Verbosity> verbosity;
    bool networkGiven = false;
    bool cloudGiven = false;
    for (const std::string& text : arguments) {
        if (text == "--help" || text == "-h") {
            options.help = true;
            return ParsedOptions{options, ""};
        }
    }
    for (const std::string& text : arguments) {
        const Argument argument = Split(text);
        const std::string& value = argument.value;
        const bool flag = !argument.hasValue;
        if (argument.name == "--silent" && flag) {
            if (verbosity == Verbosity::VerySilent) return Refuse("--silent and --very-silent exclude each other");
            verbosity = Verbosity::Silent;
        } else if (argument.name == "--very-silent" && flag) {
            if (verbosity == Verbosity::Silent) return Refuse("--silent and --very-silent exclude each other");
            verbosity = Verbosity::VerySilent;
        } else if (argument.name == "--mode" && !flag) {
            const auto mode = ModeNamed(value);
            if (!mode) return Refuse("unknown mode \"" + value + "\" (full, workstation or pos)");
            options.choices.mode = *mode;
        } else if (argument.name == "--resume" && flag) {
            options.resume = true;
        } else if (argument.name == "--no-paf" && flag) {
            options.choices.paf = false;
        } else if (argument.name == "--server" && !flag) {
            if (value.empty() || CharacterCount(value) > kServerLength)
                return Refuse("--server needs a name of 1 to 100 characters");
            options.choices.server = value;
            networkGiven = true;
        } else if (argument.name == "--db-path" && !flag) {
            if (value.empty() || CharacterCount(value) > kPathLength)
                return Refuse("--db-path needs a path of 1 to 200 characters");
            options.choices.databasePath = value;
            networkGiven = true;
        } else if (argument.name == "--company" && !flag) {
            if (value.empty() || CharacterCount(value) > kAliasLength)
                return Refuse("--company needs an alias of 1 to 100 characters");
            // As the window's box does with typed letters.
            options.choices.companyAlias = platform::InvariantUpperCase(value);
            cloudGiven = true;
        } else if (argument.name == "--base-url" && !flag) {
            if (!IsHttpAddress(value)) return Refuse("--base-url needs an http:// or https:// address");
            options.baseUrl = value;
        } else if (argument.name == "--cacert" && !flag) {
            if (value.empty() || !platform::FileExists(value)) return Refuse("--cacert needs an existing file");
            options.caCertFile = value;
        } else if (argument.name == "--proxy" && !flag) {
            net::TProxyChoice proxy = net::ParseProxyUrl(value);
            if (!proxy.Error.empty()) return Refuse("--proxy " + proxy.Error + " (http://[USER:PASS@]HOST:PORT)");
            options.proxy = std::move(proxy);
        } else if (argument.name == "--drive-c" && !flag) {
            if (value.empty()) return Refuse("--drive-c needs a folder");
            options.driveC = value;
        } else if (argument.name == "--log" && !flag) {
            if (value.empty()) return Refuse("--log needs a file name");
            options.logFile = value;
        } else if (argument.name == "--retries" && !flag) {
            const auto retries = RetryCount(value);
            if (!retries) return Refuse("--retries needs a whole number from 0 to 100");
            options.retries = *retries;
        } else if (argument.name == "--engine-sha256" && !flag) {
            options.engineDigest = NormalizedDigest(value);
            if (!options.engineDigest) return Refuse("--engine-sha256 needs 64 hexadecimal digits");
        } else {
            return Refuse("unknown option \"" + text + "\"");
        }
    }
    if (!verbosity) return Refuse("the unattended mode needs --silent or --very-silent");
    options.verbosity = *verbosity;
    options.choices.page = cloudGiven ? ConnectionPage::Cloud : ConnectionPage::Network;
    if (std::string error = CombinationError(options, networkGiven, cloudGiven); !error.empty())
        return Refuse(error);
    return ParsedOptions{options, ""};
}

std::string UnattendedHelpText() {
    return R"(Usage: lunaro-installer                 the installer window
       lunaro-installer --silent|--very-silent [options]

Unattended installation: the same checks and the same procedure as the
window, without questions. Every message goes to the log.

  --silent              progress and messages on the terminal, no boxes
  --very-silent         no output at all but the log
  --mode=full|workstation|pos
                        full installation with the database (default),
                        workstation without database, or point of sale only
  --no-paf              leave out the PAF point-of-sale package
  --server=NAME --db-path=PATH
                        workstation reaching its database on the network
  --company=ALIAS       workstation reaching its database in the cloud
  --base-url=URL        the address the packages are published under
                        (default: $LUNARO_BASE_URL, else the built-in one)
  --cacert=FILE         trust the CA certificates in FILE (PEM) for an
                        https:// address
  --proxy=URL           fetch through this HTTP proxy
                        (http://[USER:PASS@]HOST:PORT); without it,
                        http_proxy, https_proxy and no_proxy (or their
                        upper-case forms) are followed
  --drive-c=DIR         the folder that stands for drive C:
  --log=FILE            append the log to FILE
  --retries=N           try a failed package N more times, waiting longer
                        before each try (default 3, at most 100)
  --resume              continue an installation that was interrupted (by
                        a failed package, a stop or a crash), with the
                        choices it was started with: packages already in
                        place are kept, partial files resume; without an
                        interrupted installation, install as usual
  --engine-sha256=HEX   also trust the extraction engine with this SHA-256
                        (the one built with the installer is trusted, and
                        so is $LUNARO_ENGINE_SHA256); any other engine the
                        server hands out is never opened
  --help                this text

Exit codes:
  0  installed
  1  an unexpected error
  2  bad arguments (or the log file cannot be opened)
  3  the start was refused (already installed, connection data missing)
  4  a package could not be fetched
  5  a configuration value could not be written
  6  a package could not be unpacked (damaged archive, untrusted or
     missing extraction engine, nothing extracted)
  7  an interrupted installation is waiting: run again with --resume
     to continue it (exit codes 1, 4, 5 and 6 leave one behind too)
)";
}

}  // namespace lunaro::app

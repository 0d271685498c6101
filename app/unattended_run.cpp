#include "app/unattended_run.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "app/application_title.h"
#include "app/download_server.h"
#include "app/exit_codes.h"
#include "app/install_checks.h"
#include "app/install_procedure.h"
#include "app/log_ui_service.h"
#include "app/package_fetcher.h"
#include "app/terminal_progress.h"
#include "app/unattended_options.h"
#include "net/socket/ssl_plugin_choice.h"
#include "platform/ini_file.h"

namespace lunaro::app {

namespace {

const char* ModeName(InstallMode mode) {
    switch (mode) {
        case InstallMode::Full: return "full";
        case InstallMode::Workstation: return "workstation";
        case InstallMode::PointOfSaleOnly: return "pos";
    }
    return "?";
}

std::string WithoutPaf(const InstallChoices& choices) {
    return choices.mode != InstallMode::PointOfSaleOnly && !choices.paf ? ", without PAF" : "";
}

// Tells the log which package is on its way and how it went.
class LoggedPackages : public PackageSource {
public:
    LoggedPackages(PackageSource& inner, InstallLog& log) : inner_(inner), log_(log) {}
    bool BaixarArquivo(const std::string& folder, const std::string& name) override {
        log_.Write("Fetching " + name + " into " + folder);
        const bool fetched = inner_.BaixarArquivo(folder, name);
        log_.Write(fetched ? "Fetched " + name : "Stopped at " + name);
        return fetched;
    }

private:
    PackageSource& inner_;
    InstallLog& log_;
};

// The service the libraries show their boxes through, for the run only.
class ScopedUi {
public:
    explicit ScopedUi(std::unique_ptr<platform::UiService> service) : previous_(platform::SetUi(std::move(service))) {}
    ~ScopedUi() { platform::SetUi(std::move(previous_)); }
    ScopedUi(const ScopedUi&) = delete;
    ScopedUi& operator=(const ScopedUi&) = delete;

private:
    std::shared_ptr<platform::UiService> previous_;
};

int Install(const UnattendedOptions& options, InstallLog& log, RetryWithPause::Sleeper sleeper) {
    InstallChoices choices = options.choices;
    InstallStart start = InstallStart::Fresh;
    log.Write(std::string("Unattended installation, mode ") + ModeName(choices.mode) + WithoutPaf(choices));
    if (const auto refusal = CheckInstall(choices)) {
        if (!refusal->interrupted) {
            log.Write(refusal->message);
            return kExitRefused;
        }
        if (!options.resume) {
            log.Write("An interrupted installation is on this computer; run again with --resume to continue it.");
            return kExitInterrupted;
        }
        // What was started is what gets finished, whatever this command line says.
        choices = *refusal->interrupted;
        start = InstallStart::Continuing;
        log.Write(std::string("Continuing the interrupted installation, mode ") + ModeName(choices.mode) +
                  WithoutPaf(choices));
    }
    net::SetSSLDefaults({true, options.caCertFile});
    PlainTransferBoxes boxes;
    TerminalProgress progress(options.verbosity == Verbosity::Silent ? stderr : nullptr);
    RetryWithPause retry(log, options.retries, std::move(sleeper));
    PackageFetcher fetcher(boxes, progress, retry,
                           options.baseUrl ? WithTrailingSlash(*options.baseUrl) : DownloadServerBaseUrl(),
                           options.engineDigest);
    fetcher.SetProxy(options.proxy);
    LoggedPackages packages(fetcher, log);
    try {
        if (RunInstallProcedure(choices, packages, start) == InstallOutcome::Stopped)
            return fetcher.StoppedAtUnpacking() ? kExitUnpackFailed : kExitFetchFailed;
    } catch (const platform::EIniFileException& error) {
        log.Write(error.Message());
        return kExitConfigWriteFailed;
    } catch (const platform::Exception& error) {
        // Everything else the procedure raises comes from a transfer.
        log.Write(error.Message());
        return kExitFetchFailed;
    }
    log.Write("Installation complete.");
    return kExitSuccess;
}

}  // namespace

int RunUnattended(const std::vector<std::string>& arguments, RetryWithPause::Sleeper sleeper) {
    const ParsedOptions parsed = ParseUnattendedOptions(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "lunaro-installer: %s\nTry lunaro-installer --help.\n", parsed.error.c_str());
        return kExitBadArguments;
    }
    const UnattendedOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(UnattendedHelpText().c_str(), stdout);
        return kExitSuccess;
    }
    if (options.driveC) {
        std::error_code ignored;
        const std::filesystem::path root = std::filesystem::absolute(*options.driveC, ignored);
        ::setenv("LUNARO_DRIVE_C", root.string().c_str(), 1);
    }
    InstallLog log(options.logFile, options.verbosity == Verbosity::Silent);
    if (!log.Opened()) {
        std::fprintf(stderr, "lunaro-installer: cannot open the log file %s\n", options.logFile.c_str());
        return kExitBadArguments;
    }
    platform::SetApplicationTitle(kApplicationTitle);
    ScopedUi ui(std::make_unique<LogUiService>(log));
    try {
        return Install(options, log, std::move(sleeper));
    } catch (const std::exception& error) {
        log.Write(std::string("Unexpected error: ") + error.what());
        return kExitUnexpectedError;
    }
}

}  // namespace lunaro::app

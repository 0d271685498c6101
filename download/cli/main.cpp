// lunaro-download: the download component from a shell. See UsageText().
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "download/cli/command_line.h"
#include "download/cli/ftp_settings.h"
#include "download/cli/progress_display.h"
#include "download/cli/transfer_outcome.h"
#include "download/nexo_download.h"
#include "download/proxy_settings.h"
#include "download/transfer_verdict.h"
#include "net/socket/ssl_plugin_choice.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace {

using namespace lunaro::download;
using namespace lunaro::download::cli;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void Report(const std::string& message) { std::fprintf(stderr, "lunaro-download: %s\n", message.c_str()); }

void Configure(TNexoDownload& download, const TDownloadOptions& options) {
    const bool ftp = IsFtpUrl(options.Url);
    download.SetProtocolo(ftp ? TNexoProtocolo::protFTP : TNexoProtocolo::protHTTP);
    if (ftp) FillFtpSettings(*download.FTP(), options);
    download.SetDownloadUrl(options.Url);
    download.SetDownloadDest(options.Folder);
    download.SetDownloadNomeArq(options.Name);
    TNexoProxy& proxy = *download.Proxy();
    proxy.ProxyHost = options.ProxyHost;
    proxy.ProxyPort = options.ProxyPort;
    proxy.ProxyUser = options.ProxyUser;
    proxy.ProxyPass = options.ProxyPass;
    proxy.ProxyTimeout = options.TimeoutMs;
    download.SetTransferLimits(options.Transfer.Limits);
    lunaro::net::SetSSLDefaults({!options.Transfer.Insecure, options.Transfer.CACertFile});
}

// "" when the network settings can be used, else why not.
std::string NetworkProblem(TNexoDownload& download, const TDownloadOptions& options) {
    if (!options.Transfer.CACertFile.empty() && !lunaro::platform::FileExists(options.Transfer.CACertFile)) {
        return "the CA file " + options.Transfer.CACertFile + " does not exist";
    }
    if (!options.ProxyHost.empty()) return "";  // --proxy wins over the environment
    const std::string problem = UseEnvironmentProxy(*download.Proxy(), options.Url);
    return problem.empty() ? "" : "the proxy setting " + problem;
}

// The worker's facts with host paths, as the user knows them.
TTransferFacts CollectFacts(const TNexoDownloadClass& worker) {
    TTransferFacts facts = CollectTransferFacts(worker);
    facts.FinalFile = lunaro::platform::HostPath(facts.FinalFile);
    facts.PartFile = lunaro::platform::HostPath(facts.PartFile);
    return facts;
}

int Run(const TDownloadOptions& options) {
    if (!lunaro::platform::ForceDirectories(options.Folder)) {
        Report("cannot create the folder " + options.Folder);
        return kExitFailed;
    }
    TNexoDownload download;
    Configure(download, options);
    if (const std::string problem = NetworkProblem(download, options); !problem.empty()) {
        Report(problem);
        return kExitFailed;
    }
    TProgressDisplay progress(stderr, ::isatty(STDERR_FILENO) == 1);
    download.SetOnHookMonitor([&](lunaro::net::TBlockSocket*, int32_t, int32_t, double speed, uint16_t, uint16_t,
                                  uint16_t) {
        // The worker's own figures are 64-bit; the event's stop at 2 GiB.
        TNexoDownloadClass& worker = download.Worker();
        progress.Update({worker.BytesDownloaded(), worker.BytesToDownload(), speed});
    });

    TTransferFacts facts;
    try {
        download.StartDownload();
        facts = CollectFacts(download.Worker());
    } catch (const ENexoDownloadError& error) {
        progress.Finish();
        Report(DescribeStartError(error, download.Worker().LastReply()));
        return kExitFailed;
    } catch (const std::exception& error) {
        progress.Finish();
        Report(error.what());
        return kExitFailed;
    }
    const TTransferOutcome outcome = DescribeOutcome(facts);
    if (outcome.Succeeded) {
        // Body bytes that arrived with the reply headers are not in the
        // monitor's count; the file on disk is the true figure.
        const int64_t size = lunaro::platform::FileSize(facts.FinalFile);
        progress.Finish({size, size, download.Worker().AverageSpeed()});
        std::printf("%s\n", outcome.Message.c_str());
        return 0;
    }
    progress.Finish();
    // An empty partial file holds nothing worth resuming.
    if (facts.PartFileSize == 0) lunaro::platform::DeleteFile(facts.PartFile);
    Report(outcome.Message);
    return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    TDownloadOptions options;
    const std::string problem = ParseCommandLine(args, options);
    if (!problem.empty()) {
        Report(problem + " (see lunaro-download --help)");
        return kExitUsage;
    }
    if (options.Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    return Run(options);
}

#include "app/package_fetcher.h"

#include "app/download_server.h"
#include "app/engine_admission.h"
#include "app/progress_display.h"
#include "app/transfer_outcome.h"
#include "app/unpack_step.h"
#include "download/proxy_settings.h"
#include "platform/files.h"

namespace lunaro::app {

namespace {

constexpr int32_t kReceiveBuffer = 65536;
constexpr int32_t kHttpTimeoutMs = 90000;
constexpr int32_t kFtpTimeoutMs = 300000;
// While a connection is made or a server is silent, the window still
// repaints and answers at about this pace.
constexpr int32_t kHeartbeatMs = 100;
// A server that trickles below this would hold the installation for hours;
// failing lets the retry reconnect, resuming what already came.
constexpr net::TTransferLimits kTransferLimits{1024, 60, 0};

}  // namespace

PackageFetcher::PackageFetcher(TransferBoxes& boxes, ProgressView& progress, FetchFailureHandler& failures,
                               std::string baseUrl, const std::optional<std::string>& engineDigest)
    : boxes_(boxes),
      progress_(progress),
      failures_(failures),
      baseUrl_(std::move(baseUrl)),
      separators_(platform::UserNumberSeparators()) {
    GuardEngineLoading(TrustedEngineDigests(engineDigest));
    ConfigureZipKeeper(ZipKeeper1);
    fNexoDownload.SetProtocolo(download::TNexoProtocolo::protHTTP);
    fNexoDownload.SetSizeRecvBuffer(kReceiveBuffer);
    fNexoDownload.Proxy()->ProxyTimeout = kHttpTimeoutMs;
    fNexoDownload.FTP()->FtpTimeout = kFtpTimeoutMs;
    fNexoDownload.SetTransferLimits(kTransferLimits);
    fNexoDownload.SetOnAfterDownload([this](download::TNexoDownloadClass* worker) { fNexoDownloadAfterDownload(worker); });
    fNexoDownload.SetOnHookStatus([this](net::TBlockSocket*, net::THookSocketReason reason, int32_t toDownload,
                                         int32_t downloaded) { fNexoDownloadHookStatus(reason, toDownload, downloaded); });
    fNexoDownload.SetOnHookMonitor([this](net::TBlockSocket*, int32_t toDownload, int32_t downloaded, double speed,
                                          uint16_t, uint16_t, uint16_t sec) {
        fNexoDownloadHookMonitor(toDownload, downloaded, speed, sec);
    });
    fNexoDownload.SetHeartbeatRate(kHeartbeatMs);
    fNexoDownload.SetOnHeartbeat([this](net::TBlockSocket*) { fNexoDownloadHeartbeat(); });
}

bool PackageFetcher::BaixarArquivo(const std::string& folder, const std::string& name) {
    for (int attempt = 1;; ++attempt) {
        std::optional<FetchFailure> failure = FetchOnce(folder, name);
        if (!failure) return true;
        failure->attempt = attempt;
        if (!failures_.TryAgain(*failure)) {
            stoppedAtUnpacking_ = failure->unpacking;
            return false;
        }
    }
}

std::optional<FetchFailure> PackageFetcher::FetchOnce(const std::string& folder, const std::string& name) {
    boxes_.SetPackageName(name);
    boxes_.SetPackageFolder(folder);
    platform::ForceDirectories(folder);
    const std::string url = PackageUrl(baseUrl_, boxes_.PackageName());
    fNexoDownload.SetDownloadUrl(url);
    if (proxy_) {
        download::UseProxy(*fNexoDownload.Proxy(), *proxy_);
    } else if (const std::string problem = download::UseEnvironmentProxy(*fNexoDownload.Proxy(), url);
               !problem.empty()) {
        return FetchFailure{name, folder, "a configuração de proxy não pode ser usada: " + problem};
    }
    platform::ForceDirectories(boxes_.PackageFolder());
    fNexoDownload.SetDownloadDest(boxes_.PackageFolder());
    transferFailure_.reset();
    lastEvents_ = std::chrono::steady_clock::now();
    fNexoDownload.StartDownload();
    if (!transferFailure_) return FetchFailure{name, folder, "a transferência terminou sem resultado"};
    return *transferFailure_;
}

void PackageFetcher::fNexoDownloadAfterDownload(download::TNexoDownloadClass* worker) {
    // The transfer is judged before unpacking deletes the file.
    const std::optional<std::string> transfer = worker ? TransferFailure(download::CollectTransferFacts(*worker))
                                                       : std::optional<std::string>("sem transferência");
    const std::string name = boxes_.PackageName();
    const std::string folder = boxes_.PackageFolder();
    transferFailure_.emplace();
    if (transfer) transferFailure_->emplace(FetchFailure{name, folder, *transfer});
    if (fNexoDownload.DownloadStatus() != download::TDownloadStatus::stDownload) return;
    const std::optional<std::string> unpack = UnpackPackage(ZipKeeper1, name, folder);
    if (unpack && !transfer) transferFailure_->emplace(FetchFailure{name, folder, *unpack, 1, true});
}

void PackageFetcher::fNexoDownloadHookStatus(net::THookSocketReason reason, int32_t bytesToDownload,
                                             int32_t bytesDownloaded) {
    ShowHookStatus(progress_, fNexoDownload.DownloadStatus(), reason, bytesToDownload, bytesDownloaded);
}

void PackageFetcher::fNexoDownloadHookMonitor(int32_t bytesToDownload, int32_t bytesDownloaded, double averageSpeed,
                                              uint16_t sec) {
    ShowHookMonitor(progress_, bytesToDownload, bytesDownloaded, averageSpeed, sec, separators_);
    lastEvents_ = std::chrono::steady_clock::now();
}

void PackageFetcher::fNexoDownloadHeartbeat() {
    // The socket beats also at the start of waits that end at once; events
    // are let through only when none went through for a whole beat.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastEvents_ < std::chrono::milliseconds(kHeartbeatMs)) return;
    lastEvents_ = now;
    LetPendingEventsThrough(progress_);
}

}  // namespace lunaro::app

#pragma once
// The fetch step: one named package from the download server into a folder,
// through the download component, with the progress shown while it runs and
// the outcome checked when it ends. A package that did not arrive is put to
// the failure handler, which decides between another attempt (resuming what
// already came) and stopping.
#include <chrono>
#include <optional>
#include <string>

#include "app/fetch_failure.h"
#include "app/package_source.h"
#include "app/progress_view.h"
#include "app/transfer_boxes.h"
#include "archive/zip_keeper.h"
#include "download/nexo_download.h"
#include "net/proxy_environment.h"
#include "platform/locale_info.h"

namespace lunaro::app {

class PackageFetcher : public PackageSource {
public:
    // baseUrl ends in "/"; bare package names are appended to it. The
    // extraction engine is loaded only when its digest is trusted (see
    // engine_admission.h); engineDigest adds one to those trusted.
    PackageFetcher(TransferBoxes& boxes, ProgressView& progress, FetchFailureHandler& failures, std::string baseUrl,
                   const std::optional<std::string>& engineDigest = std::nullopt);

    bool BaixarArquivo(const std::string& folder, const std::string& name) override;

    // A proxy the user named, used for every package; without one, the
    // environment's proxy settings decide for each package's address.
    void SetProxy(std::optional<net::TProxyChoice> proxy) { proxy_ = std::move(proxy); }

    // Whether the last package that stopped the installation arrived but
    // could not be unpacked.
    bool StoppedAtUnpacking() const { return stoppedAtUnpacking_; }

private:
    // One transfer with its unpacking; why it failed, or nothing.
    std::optional<FetchFailure> FetchOnce(const std::string& folder, const std::string& name);

    void fNexoDownloadAfterDownload(download::TNexoDownloadClass* worker);
    void fNexoDownloadHookStatus(net::THookSocketReason reason, int32_t bytesToDownload, int32_t bytesDownloaded);
    void fNexoDownloadHookMonitor(int32_t bytesToDownload, int32_t bytesDownloaded, double averageSpeed, uint16_t sec);
    // The socket waits: the window's events go through here too.
    void fNexoDownloadHeartbeat();

    TransferBoxes& boxes_;
    ProgressView& progress_;
    FetchFailureHandler& failures_;
    const std::string baseUrl_;
    const platform::NumberSeparators separators_;
    download::TNexoDownload fNexoDownload;
    std::optional<net::TProxyChoice> proxy_;
    archive::TZipKeeper ZipKeeper1;
    // Set by the after-download handler: whether the last transfer (or its
    // unpacking) failed.
    std::optional<std::optional<FetchFailure>> transferFailure_;
    bool stoppedAtUnpacking_ = false;
    // When the window's events last went through during the transfer.
    std::chrono::steady_clock::time_point lastEvents_;
};

}  // namespace lunaro::app

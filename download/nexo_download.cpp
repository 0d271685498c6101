#include "download/nexo_download.h"

#include <algorithm>
#include <utility>

#include "download/download_messages.h"
#include "download/nexo_ftp_download.h"
#include "download/nexo_http_download.h"

namespace lunaro::download {

namespace {

// Clears a flag when the scope ends, also when an error leaves it.
class TRunningScope {
public:
    explicit TRunningScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TRunningScope() { flag_ = false; }
    TRunningScope(const TRunningScope&) = delete;
    TRunningScope& operator=(const TRunningScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

TNexoDownload::TNexoDownload()
    : proxy_(std::make_shared<TNexoProxy>()), ftp_(std::make_shared<TNexoFTP>()) {
    worker_ = std::make_unique<TNexoDownloadClass>(this);
}

TNexoDownload::~TNexoDownload() = default;

void TNexoDownload::SetDownloadDest(const std::string& value) {
    downloadDest_ = value;
    worker_->SetDownloadDest(value);
}

void TNexoDownload::SetDownloadUrl(const std::string& value) {
    downloadUrl_ = value;
    worker_->SetDownloadUrl(value);
}

void TNexoDownload::SetDownloadNomeArq(const std::string& value) {
    downloadNomeArq_ = value;
    worker_->SetDownloadNomeArq(value);
}

void TNexoDownload::SetSizeRecvBuffer(int32_t value) {
    sizeRecvBuffer_ = value;
    worker_->SetSizeRecvBuffer(value);
}

void TNexoDownload::SetHeartbeatRate(int32_t value) {
    heartbeatRate_ = std::max(value, 0);
    worker_->SetHeartbeatRate(value);
}

void TNexoDownload::SetTransferLimits(const net::TTransferLimits& value) {
    transferLimits_ = value;
    worker_->SetTransferLimits(value);
}

void TNexoDownload::SetProxy(std::shared_ptr<TNexoProxy> value) {
    if (!value) throw ENexoDownloadError(TDownloadErrorId::NoSettings, kMsgNoSettings);
    proxy_ = value;
    worker_->SetProxy(std::move(value));
}

void TNexoDownload::SetFTP(std::shared_ptr<TNexoFTP> value) {
    if (!value) throw ENexoDownloadError(TDownloadErrorId::NoSettings, kMsgNoSettings);
    ftp_ = value;
    if (protocolo_ == TNexoProtocolo::protFTP) worker_->SetFTP(std::move(value));
}

void TNexoDownload::SetDownloadStatus(TDownloadStatus value) {
    status_ = value;
    worker_->SetDownloadStatus(value);
}

void TNexoDownload::SetOnBeforeDownload(TNexoBeforeDownload handler) {
    onBeforeDownload_ = handler;
    worker_->OnBeforeDownload = std::move(handler);
}

void TNexoDownload::SetOnAfterDownload(TNexoAfterDownload handler) {
    onAfterDownload_ = handler;
    worker_->OnAfterDownload = std::move(handler);
}

void TNexoDownload::SetOnHookStatus(TNexoHookStatus handler) {
    onHookStatus_ = handler;
    worker_->OnHookStatus = std::move(handler);
}

void TNexoDownload::SetOnHookMonitor(TNexoHookMonitor handler) {
    onHookMonitor_ = handler;
    worker_->OnHookMonitor = std::move(handler);
}

void TNexoDownload::SetOnDownloadStatus(TNexoDownloadStatus handler) {
    onDownloadStatus_ = handler;
    worker_->OnDownloadStatus = std::move(handler);
}

void TNexoDownload::SetOnHeartbeat(TNexoHeartbeat handler) {
    onHeartbeat_ = handler;
    worker_->OnHeartbeat = std::move(handler);
}

void TNexoDownload::StartDownload() {
    // A new worker would free the running one under its own call.
    if (running_) throw ENexoDownloadError(TDownloadErrorId::AlreadyRunning, kMsgAlreadyRunning);
    if (protocolo_ == TNexoProtocolo::protNenhum) throw ENexoDownloadError(TDownloadErrorId::NoProtocol, kMsgNoProtocol);
    TRunningScope running(running_);
    // The new worker starts from the running status, not from a stop or
    // pause left over from the previous transfer.
    status_ = TDownloadStatus::stDownload;
    std::unique_ptr<TNexoDownloadClass> next;
    if (protocolo_ == TNexoProtocolo::protFTP) {
        next = std::make_unique<TNexoFTPDownload>(this);
    } else {
        next = std::make_unique<TNexoHTTPDownload>(this);
    }
    // The old worker is freed before the transfer: it may still hold its
    // partial file open.
    worker_ = std::move(next);
    worker_->StartDownload();
}

}  // namespace lunaro::download

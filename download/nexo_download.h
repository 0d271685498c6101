#pragma once
// TNexoDownload: downloads one URL into a local folder, resuming a partial
// file left by an earlier attempt, with progress events and stop and pause
// requests. It holds the settings and the event handlers; each start
// creates a protocol worker that copies them and does the work on the
// calling thread. StartDownload returns when the transfer and its
// after-download event are over.
//
// Stop and pause: assign stStop or stPause to DownloadStatus from one of
// the events while a transfer runs. The connection closes at the next block
// received; a stop deletes the partial file, a pause keeps it for the next
// start. Network failures raise nothing: the transfer ends and
// OnAfterDownload follows; its Sender (the worker) tells what happened.
#include <cstdint>
#include <memory>
#include <string>

#include "download/download_types.h"
#include "download/nexo_download_class.h"
#include "download/nexo_settings.h"

namespace lunaro::download {

class TNexoDownload {
public:
    TNexoDownload();
    ~TNexoDownload();
    TNexoDownload(const TNexoDownload&) = delete;
    TNexoDownload& operator=(const TNexoDownload&) = delete;

    // Every setter but SetProtocolo also reaches the current worker, so a
    // change made from an event handler applies to the running transfer.
    const std::string& DownloadDest() const { return downloadDest_; }
    void SetDownloadDest(const std::string& value);
    const std::string& DownloadUrl() const { return downloadUrl_; }
    void SetDownloadUrl(const std::string& value);
    // A local file name to use instead of the one taken from the URL.
    const std::string& DownloadNomeArq() const { return downloadNomeArq_; }
    void SetDownloadNomeArq(const std::string& value);
    int32_t SizeRecvBuffer() const { return sizeRecvBuffer_; }
    void SetSizeRecvBuffer(int32_t value);
    // While the socket waits, OnHeartbeat every HeartbeatRate ms (0: never).
    int32_t HeartbeatRate() const { return heartbeatRate_; }
    void SetHeartbeatRate(int32_t value);
    // The settings objects are shared, not copied: later changes to them are
    // seen by the running worker. A null object is refused.
    const std::shared_ptr<TNexoProxy>& Proxy() const { return proxy_; }
    void SetProxy(std::shared_ptr<TNexoProxy> value);
    const std::shared_ptr<TNexoFTP>& FTP() const { return ftp_; }
    void SetFTP(std::shared_ptr<TNexoFTP> value);
    // Bounds on a transfer as a whole; all zeros (the default) turn them off.
    const net::TTransferLimits& TransferLimits() const { return transferLimits_; }
    void SetTransferLimits(const net::TTransferLimits& value);
    // Takes effect at the next start.
    TNexoProtocolo Protocolo() const { return protocolo_; }
    void SetProtocolo(TNexoProtocolo value) { protocolo_ = value; }
    TDownloadStatus DownloadStatus() const { return status_; }
    // The worker stores the status and raises OnDownloadStatus.
    void SetDownloadStatus(TDownloadStatus value);

    const TNexoBeforeDownload& OnBeforeDownload() const { return onBeforeDownload_; }
    void SetOnBeforeDownload(TNexoBeforeDownload handler);
    const TNexoAfterDownload& OnAfterDownload() const { return onAfterDownload_; }
    void SetOnAfterDownload(TNexoAfterDownload handler);
    const TNexoHookStatus& OnHookStatus() const { return onHookStatus_; }
    void SetOnHookStatus(TNexoHookStatus handler);
    const TNexoHookMonitor& OnHookMonitor() const { return onHookMonitor_; }
    void SetOnHookMonitor(TNexoHookMonitor handler);
    const TNexoDownloadStatus& OnDownloadStatus() const { return onDownloadStatus_; }
    void SetOnDownloadStatus(TNexoDownloadStatus handler);
    const TNexoHeartbeat& OnHeartbeat() const { return onHeartbeat_; }
    void SetOnHeartbeat(TNexoHeartbeat handler);

    // Runs one transfer with a new worker of the chosen protocol. Raises
    // ENexoDownloadError without a protocol, when called from inside its own
    // transfer, and with the worker's errors.
    void StartDownload();

    // The current worker: the last transfer's until the next start.
    TNexoDownloadClass& Worker() { return *worker_; }

private:
    std::unique_ptr<TNexoDownloadClass> worker_;
    TNexoProtocolo protocolo_ = TNexoProtocolo::protNenhum;
    std::string downloadDest_;
    TDownloadStatus status_ = TDownloadStatus::stNone;
    std::string downloadUrl_;
    std::string downloadNomeArq_;
    std::shared_ptr<TNexoProxy> proxy_;
    int32_t sizeRecvBuffer_ = 0;
    int32_t heartbeatRate_ = 0;
    net::TTransferLimits transferLimits_;
    std::shared_ptr<TNexoFTP> ftp_;
    TNexoBeforeDownload onBeforeDownload_;
    TNexoAfterDownload onAfterDownload_;
    TNexoHookStatus onHookStatus_;
    TNexoHookMonitor onHookMonitor_;
    TNexoDownloadStatus onDownloadStatus_;
    TNexoHeartbeat onHeartbeat_;
    bool running_ = false;
};

}  // namespace lunaro::download

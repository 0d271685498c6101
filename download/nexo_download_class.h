#pragma once
// TNexoDownloadClass: the base of the protocol workers. It owns what does
// not depend on the protocol: the partial file and how a transfer resumes
// into it, the byte, speed and time accounting, the reading of the socket's
// status reports, the final renaming, and the raising of the component's
// events. A protocol worker lends it its client's socket and received-data
// document and decides the file name; this base is then driven by the
// socket's status and monitor hooks.
//
// Counts are kept in 64 bits; the events carry them as 32-bit numbers,
// saturated at the largest 32-bit value, so files beyond 2 GiB still arrive
// whole while their progress figures stop growing.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "download/download_types.h"
#include "download/nexo_settings.h"
#include "download/releasing_document.h"
#include "download/transfer_verdict.h"
#include "net/socket/block_socket.h"
#include "net/socket/transfer_limits.h"
#include "platform/stream.h"

namespace lunaro::download {

class TNexoDownload;
class TNexoDownloadClass;

// Sender of the before/after/status events is the worker; Sender of the two
// hook events is the socket that reported.
using TNexoBeforeDownload = std::function<void(TNexoDownloadClass* Sender)>;
using TNexoAfterDownload = std::function<void(TNexoDownloadClass* Sender)>;
using TNexoHookStatus = std::function<void(net::TBlockSocket* Sender, net::THookSocketReason Reason,
                                           int32_t BytesToDownload, int32_t BytesDownloaded)>;
// AverageSpeed in KB/s; Hour and Min of the elapsed time; Sec the seconds
// left, or the elapsed seconds while no speed is known.
using TNexoHookMonitor =
    std::function<void(net::TBlockSocket* Sender, int32_t BytesToDownload, int32_t BytesDownloaded,
                       double AverageSpeed, uint16_t Hour, uint16_t Min, uint16_t Sec)>;
using TNexoDownloadStatus = std::function<void(TNexoDownloadClass* Sender, TDownloadStatus DownloadStatus)>;
// While the socket waits (for a connection, or for a server that is silent),
// every HeartbeatRate ms: the one chance an owner on the same thread gets to
// do anything before data arrive or the time-out ends the wait.
using TNexoHeartbeat = std::function<void(net::TBlockSocket* Sender)>;

class TNexoDownloadClass {
public:
    // A worker that copies the owner's settings and, until a protocol worker
    // lends it a socket, does nothing. A missing owner raises
    // ENexoDownloadError.
    explicit TNexoDownloadClass(TNexoDownload* owner);
    virtual ~TNexoDownloadClass() = default;
    TNexoDownloadClass(const TNexoDownloadClass&) = delete;
    TNexoDownloadClass& operator=(const TNexoDownloadClass&) = delete;

    const std::string& DownloadDest() const { return downloadDest_; }
    void SetDownloadDest(const std::string& value) { downloadDest_ = value; }
    const std::string& DownloadUrl() const { return downloadUrl_; }
    void SetDownloadUrl(const std::string& value) { downloadUrl_ = value; }
    const std::string& DownloadNomeArq() const { return downloadNomeArq_; }
    void SetDownloadNomeArq(const std::string& value) { downloadNomeArq_ = value; }
    TDownloadStatus DownloadStatus() const { return status_; }
    // Stores the status and raises OnDownloadStatus with it.
    void SetDownloadStatus(TDownloadStatus value);
    int32_t SizeRecvBuffer() const { return sizeRecvBuffer_; }
    // Passed on to the socket when there is one; 0 or less leaves the
    // socket's own size.
    void SetSizeRecvBuffer(int32_t value);
    const std::shared_ptr<TNexoProxy>& Proxy() const { return proxy_; }
    void SetProxy(std::shared_ptr<TNexoProxy> value);
    int32_t HeartbeatRate() const { return heartbeatRate_; }
    // Milliseconds, 0: no heartbeat. Passed on to the socket when there is one.
    void SetHeartbeatRate(int32_t value);
    // Bounds on each transfer as a whole (low speed, total time); applied to
    // the socket when a request starts.
    const net::TTransferLimits& TransferLimits() const { return transferLimits_; }
    void SetTransferLimits(const net::TTransferLimits& value) { transferLimits_ = value; }
    // Only the FTP worker uses the FTP settings; every other worker ignores
    // them.
    virtual void SetFTP(std::shared_ptr<TNexoFTP>) {}

    TNexoBeforeDownload OnBeforeDownload;
    TNexoAfterDownload OnAfterDownload;
    TNexoHookStatus OnHookStatus;
    TNexoHookMonitor OnHookMonitor;
    TNexoDownloadStatus OnDownloadStatus;
    TNexoHeartbeat OnHeartbeat;

    virtual void StartDownload() {}
    // The socket's status hook: HR_ReadCount, HR_Connect and HR_SocketClose
    // are acted on, every other reason is ignored.
    virtual void SocketStatus(net::TBlockSocket* Sender, net::THookSocketReason Reason, const std::string& Value);
    // The socket's monitor hook, once per block sent or received.
    void SocketMonitor(net::TBlockSocket* Sender, bool Writing, const void* Buffer, int Len);

    // What the transfer did, for the events' handlers and for callers that
    // look at a worker after its transfer.
    int64_t BytesToDownload() const { return bytesToDownload_; }
    int64_t BytesDownloaded() const { return bytesDownloaded_; }
    int64_t BytesResumed() const { return bytesResumed_; }
    int64_t DownloadSize() const { return downloadSize_; }
    double AverageSpeed() const { return averageSpeed_; }
    int32_t ResultCode() const { return resultCode_; }
    // The partial file's name; its full path once it has been opened.
    const std::string& FilePart() const { return filePart_; }
    // True once the partial file has been given its final name.
    bool Finished() const { return finished_; }
    // The file part without its ".part" suffix.
    std::string FinalFileName() const;
    // The last reply and socket error, in terms every protocol shares. The
    // base knows only the result code; a protocol worker adds its client's
    // view.
    virtual TTransferReply LastReply() const;

protected:
    // A client's socket and received-data document lent to this worker for
    // as long as the attachment lives: it hooks the socket on construction
    // and unhooks it on destruction. A protocol worker holds one as a member
    // declared after the client that owns the socket, so the hooks go before
    // the socket does, whatever order the destructors of the hierarchy run.
    class TSocketAttachment {
    public:
        TSocketAttachment(TNexoDownloadClass& worker, net::TBlockSocket& socket, TReleasingDocument& document);
        ~TSocketAttachment();
        TSocketAttachment(const TSocketAttachment&) = delete;
        TSocketAttachment& operator=(const TSocketAttachment&) = delete;

    private:
        TNexoDownloadClass& worker_;
        net::TBlockSocket& socket_;
    };

    // Turns the file part into a path in DownloadDest and opens the partial
    // file there: an existing one is resumed (stResume, BytesResumed its
    // size), otherwise it is created with the first byte received (stNone),
    // so that a run killed before any byte leaves no empty file behind.
    // Exclusive access.
    void OpenFilePart();
    // Appends to the partial file what the document received beyond it.
    void FlushDocument();
    // Closes the partial file without writing what is still in the document.
    void DiscardFilePart();
    // Empties the open partial file (BytesResumed 0): the transfer starts
    // again from zero. The status is left to the caller.
    void RestartFilePart();
    // Asked before the partial file takes its final name on a successful
    // close; a worker that knows the file's true size says whether the
    // file on disk has it.
    virtual bool FilePartComplete() const { return true; }
    // The server proved the partial file whole without sending a byte: it
    // takes its final name as a completed transfer would.
    void FinishWholeFilePart();

    void SetFilePart(const std::string& value) { filePart_ = value; }
    void SetResultCode(int32_t value) { resultCode_ = value; }
    void SetTransferSize(int64_t value) { downloadSize_ = value; }
    // The reply does not bring the bytes this partial file needs: none of its
    // body is written and the partial file keeps its name and content. The
    // reason is reported through LastReply().
    void RefuseReply(TReplyRefusal reason, const std::string& detail);
    bool Refused() const { return refusal_ != TReplyRefusal::None; }
    void AddRefusalTo(TTransferReply& reply) const;
    // Puts the transfer limits on the lent socket, for a request about to start.
    void ApplyTransferLimits();
    // Changes the status without raising OnDownloadStatus.
    void StoreStatus(TDownloadStatus value) { status_ = value; }
    void RaiseBeforeDownload();
    void RaiseAfterDownload();

private:
    void ReadCountReported(net::TBlockSocket* sender);
    void CloseReported(net::TBlockSocket* sender);
    // A reply that carries the file's bytes (HTTP 200/206, FTP 150/125).
    bool CarriesData() const;
    // A resumed request answered with the whole file: the partial file
    // starts again from zero rather than taking the file behind itself.
    void RestartIfWholeFileSent();
    // Creates the partial file that OpenFilePart left for the first byte;
    // false when there is no partial file to write to.
    bool EnsureFileCreated();
    void FinishFile();
    void DeleteFilePart();
    void RaiseHookStatus(net::TBlockSocket* sender, net::THookSocketReason reason);

    int64_t bytesToDownload_ = 0;
    double startTime_ = 0;
    double averageSpeed_ = 0;
    int32_t sizeRecvBuffer_ = 0;
    int32_t heartbeatRate_ = 0;
    std::string downloadDest_;
    std::shared_ptr<TNexoProxy> proxy_;
    // Lent through a TSocketAttachment, null outside its lifetime.
    net::TBlockSocket* socket_ = nullptr;
    TReleasingDocument* document_ = nullptr;
    std::unique_ptr<platform::TFileStream> file_;
    bool createPending_ = false;  // the partial file is created with its first byte
    TReplyRefusal refusal_ = TReplyRefusal::None;
    std::string refusalDetail_;
    net::TTransferLimits transferLimits_;
    int64_t fileSize_ = 0;  // of the open partial file, kept here to spare the system a query per block
    TDownloadStatus status_ = TDownloadStatus::stNone;
    int64_t bytesDownloaded_ = 0;
    std::string filePart_;
    int64_t downloadSize_ = 0;
    int32_t resultCode_ = 0;
    std::string downloadUrl_;
    std::string downloadNomeArq_;
    int64_t bytesResumed_ = 0;
    bool finished_ = false;
};

}  // namespace lunaro::download

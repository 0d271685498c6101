#include "download/nexo_download_class.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "download/download_messages.h"
#include "download/nexo_download.h"
#include "download/reply_codes.h"
#include "download/transfer_figures.h"
#include "net/text_utils.h"
#include "platform/files.h"

namespace lunaro::download {

using net::THookSocketReason;
using platform::TFileStream;

namespace {

int32_t Saturate32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max()));
}

}  // namespace

TNexoDownloadClass::TNexoDownloadClass(TNexoDownload* owner) {
    if (owner == nullptr) throw ENexoDownloadError(TDownloadErrorId::WrongOwner, kMsgWrongOwner);
    proxy_ = owner->Proxy();
    downloadDest_ = owner->DownloadDest();
    downloadUrl_ = owner->DownloadUrl();
    downloadNomeArq_ = owner->DownloadNomeArq();
    status_ = owner->DownloadStatus();
    sizeRecvBuffer_ = owner->SizeRecvBuffer();
    heartbeatRate_ = owner->HeartbeatRate();
    transferLimits_ = owner->TransferLimits();
    OnBeforeDownload = owner->OnBeforeDownload();
    OnAfterDownload = owner->OnAfterDownload();
    OnHookStatus = owner->OnHookStatus();
    OnHookMonitor = owner->OnHookMonitor();
    OnDownloadStatus = owner->OnDownloadStatus();
    OnHeartbeat = owner->OnHeartbeat();
}

void TNexoDownloadClass::SetDownloadStatus(TDownloadStatus value) {
    status_ = value;
    if (OnDownloadStatus) OnDownloadStatus(this, value);
}

void TNexoDownloadClass::SetSizeRecvBuffer(int32_t value) {
    sizeRecvBuffer_ = value;
    if (socket_ != nullptr && value > 0) socket_->SetSizeRecvBuffer(value);
}

void TNexoDownloadClass::SetHeartbeatRate(int32_t value) {
    heartbeatRate_ = std::max(value, 0);
    if (socket_ != nullptr) socket_->HeartbeatRate = heartbeatRate_;
}

void TNexoDownloadClass::SetProxy(std::shared_ptr<TNexoProxy> value) {
    if (!value) throw ENexoDownloadError(TDownloadErrorId::NoSettings, kMsgNoSettings);
    proxy_ = std::move(value);
}

std::string TNexoDownloadClass::FinalFileName() const {
    if (!filePart_.ends_with(kPartSuffix)) return filePart_;
    return filePart_.substr(0, filePart_.size() - std::string_view(kPartSuffix).size());
}

TTransferReply TNexoDownloadClass::LastReply() const {
    TTransferReply reply;
    reply.Received = resultCode_ != 0;
    reply.Understood = reply.Received;
    reply.CarriesFile = CarriesData();
    reply.Code = resultCode_;
    AddRefusalTo(reply);
    return reply;
}

void TNexoDownloadClass::RefuseReply(TReplyRefusal reason, const std::string& detail) {
    refusal_ = reason;
    refusalDetail_ = detail;
}

void TNexoDownloadClass::AddRefusalTo(TTransferReply& reply) const {
    reply.Refusal = refusal_;
    reply.RefusalDetail = refusalDetail_;
}

void TNexoDownloadClass::ApplyTransferLimits() {
    if (socket_ != nullptr) socket_->SetTransferLimits(transferLimits_);
}

TNexoDownloadClass::TSocketAttachment::TSocketAttachment(TNexoDownloadClass& worker, net::TBlockSocket& socket,
                                                         TReleasingDocument& document)
    : worker_(worker), socket_(socket) {
    worker_.socket_ = &socket;
    worker_.document_ = &document;
    socket_.OnStatus = [&worker](net::TBlockSocket* sender, THookSocketReason reason, const std::string& value) {
        worker.SocketStatus(sender, reason, value);
    };
    socket_.OnMonitor = [&worker](net::TBlockSocket* sender, bool writing, const void* buffer, int len) {
        worker.SocketMonitor(sender, writing, buffer, len);
    };
    socket_.OnHeartbeat = [&worker](net::TBlockSocket* sender) {
        if (worker.OnHeartbeat) worker.OnHeartbeat(sender);
    };
    worker_.SetSizeRecvBuffer(worker_.sizeRecvBuffer_);
    worker_.SetHeartbeatRate(worker_.heartbeatRate_);
}

TNexoDownloadClass::TSocketAttachment::~TSocketAttachment() {
    socket_.OnStatus = nullptr;
    socket_.OnMonitor = nullptr;
    socket_.OnHeartbeat = nullptr;
    worker_.socket_ = nullptr;
    worker_.document_ = nullptr;
}

void TNexoDownloadClass::OpenFilePart() {
    filePart_ = net::EnsurePathDelimiter(downloadDest_) + filePart_;
    finished_ = false;
    createPending_ = false;
    RefuseReply(TReplyRefusal::None, "");
    if (platform::FileExists(filePart_)) {
        status_ = TDownloadStatus::stResume;
        file_ = std::make_unique<TFileStream>(filePart_, platform::fmOpenReadWrite | platform::fmShareExclusive);
        bytesResumed_ = file_->Seek(0, platform::TSeekOrigin::soEnd);
        fileSize_ = bytesResumed_;
    } else {
        status_ = TDownloadStatus::stNone;
        file_.reset();
        createPending_ = true;
        bytesResumed_ = 0;
        fileSize_ = 0;
    }
}

bool TNexoDownloadClass::EnsureFileCreated() {
    if (file_) return true;
    if (!createPending_) return false;
    file_ = std::make_unique<TFileStream>(filePart_, platform::fmCreate | platform::fmShareExclusive);
    createPending_ = false;
    return true;
}

void TNexoDownloadClass::FlushDocument() {
    if (document_ == nullptr || (!file_ && !createPending_)) return;
    const int64_t size = document_->Size();
    if (size == 0) return;
    try {
        if (CarriesData()) {
            RestartIfWholeFileSent();
            const int64_t count = size - (fileSize_ - bytesResumed_);
            if (count > 0 && EnsureFileCreated()) {
                document_->WriteTailTo(*file_, count);
                fileSize_ += count;
            }
        }
    } catch (...) {
        document_->Release();
        throw;
    }
    // Whatever is in the file, or was never meant for it, need not stay in memory.
    document_->Release();
}

void TNexoDownloadClass::DiscardFilePart() {
    file_.reset();
    createPending_ = false;
    if (document_ != nullptr) document_->Release();
}

void TNexoDownloadClass::RaiseBeforeDownload() {
    if (OnBeforeDownload) OnBeforeDownload(this);
}

void TNexoDownloadClass::RaiseAfterDownload() {
    if (OnAfterDownload) OnAfterDownload(this);
}

void TNexoDownloadClass::SocketStatus(net::TBlockSocket* Sender, THookSocketReason Reason, const std::string&) {
    switch (Reason) {
        case THookSocketReason::HR_ReadCount:
            ReadCountReported(Sender);
            break;
        case THookSocketReason::HR_Connect:
            RaiseHookStatus(Sender, Reason);
            break;
        case THookSocketReason::HR_SocketClose:
            CloseReported(Sender);
            break;
        default:
            break;
    }
}

void TNexoDownloadClass::ReadCountReported(net::TBlockSocket* sender) {
    if (status_ != TDownloadStatus::stNone && status_ != TDownloadStatus::stResume) return;
    if (downloadSize_ == 0) return;
    RestartIfWholeFileSent();
    if (status_ == TDownloadStatus::stNone || startTime_ == 0) {
        startTime_ = NowDateTime();
        averageSpeed_ = 0;
    }
    status_ = TDownloadStatus::stDownload;
    bytesDownloaded_ = bytesResumed_;
    bytesToDownload_ = bytesResumed_ + downloadSize_;
    RaiseHookStatus(sender, THookSocketReason::HR_ReadCount);
}

void TNexoDownloadClass::CloseReported(net::TBlockSocket* sender) {
    if ((file_ || createPending_) && CarriesData()) {
        FlushDocument();
        file_.reset();
    } else if (document_ != nullptr) {
        document_->Release();  // the rest of a reply that is not the file
    }
    switch (status_) {
        case TDownloadStatus::stNone:
        case TDownloadStatus::stResume:  // a resumed reply whose size was never reported
        case TDownloadStatus::stDownload:
            // A close that cut the reply short (the socket holds the error)
            // leaves the partial file for the next start to resume.
            if ((resultCode_ == kHttpOk || resultCode_ == kHttpPartialContent || resultCode_ == kFtpTransferComplete) &&
                !Refused() && !filePart_.empty() && (sender == nullptr || sender->LastError() == 0)) {
                // An empty file that arrived whole still takes its name.
                if (EnsureFileCreated()) file_.reset();
                if (FilePartComplete()) FinishFile();
            }
            break;
        case TDownloadStatus::stStop:
            DeleteFilePart();
            break;
        default:
            break;
    }
    RaiseHookStatus(sender, THookSocketReason::HR_SocketClose);
}

bool TNexoDownloadClass::CarriesData() const {
    if (Refused()) return false;
    return resultCode_ == kHttpOk || resultCode_ == kHttpPartialContent || resultCode_ == kFtpFileStatusOk ||
           resultCode_ == kFtpDataConnectionOpen;
}

void TNexoDownloadClass::RestartIfWholeFileSent() {
    if (resultCode_ != kHttpOk || bytesResumed_ == 0 || Refused()) return;
    RestartFilePart();
}

void TNexoDownloadClass::RestartFilePart() {
    if (!file_) return;
    file_->SetSize(0);
    file_->Seek(0, platform::TSeekOrigin::soBeginning);
    fileSize_ = 0;
    bytesResumed_ = 0;
}

void TNexoDownloadClass::FinishFile() {
    const std::string finalName = FinalFileName();
    if (finalName != filePart_) {
        if (platform::FileExists(finalName) && platform::FileExists(filePart_) && !platform::DeleteFile(finalName)) {
            throw ENexoDownloadError(TDownloadErrorId::CannotDelete, MsgCannotDelete(finalName));
        }
        if (platform::FileExists(filePart_) && !platform::RenameFile(filePart_, finalName)) {
            throw ENexoDownloadError(TDownloadErrorId::CannotRename, MsgCannotRename(filePart_, finalName));
        }
    }
    finished_ = true;
}

void TNexoDownloadClass::FinishWholeFilePart() {
    file_.reset();
    createPending_ = false;
    FinishFile();
}

void TNexoDownloadClass::DeleteFilePart() {
    file_.reset();
    createPending_ = false;
    if (platform::FileExists(filePart_) && !platform::DeleteFile(filePart_)) {
        throw ENexoDownloadError(TDownloadErrorId::CannotDelete, MsgCannotDelete(filePart_));
    }
}

void TNexoDownloadClass::SocketMonitor(net::TBlockSocket* Sender, bool Writing, const void*, int Len) {
    if (Writing) return;
    if (Len > 0) bytesDownloaded_ += Len;
    if (file_ || createPending_) {
        if (document_->Size() > fileSize_ - bytesResumed_) FlushDocument();
    } else if (document_ != nullptr) {
        document_->Release();  // no partial file to take them: nothing to keep
    }
    const TMonitorFigures figures =
        ComputeMonitorFigures(NowDateTime() - startTime_, bytesToDownload_, bytesDownloaded_, averageSpeed_);
    averageSpeed_ = figures.AverageSpeed;
    if (status_ == TDownloadStatus::stStop || status_ == TDownloadStatus::stPause) {
        // Closed at once: an orderly close would first drain, and report,
        // whatever the server still sends.
        if (socket_ != nullptr) socket_->AbortSocket();
    }
    if (OnHookMonitor) {
        OnHookMonitor(Sender, Saturate32(bytesToDownload_), Saturate32(bytesDownloaded_), figures.AverageSpeed,
                      figures.Hour, figures.Min, figures.Sec);
    }
}

void TNexoDownloadClass::RaiseHookStatus(net::TBlockSocket* sender, THookSocketReason reason) {
    if (OnHookStatus) OnHookStatus(sender, reason, Saturate32(bytesToDownload_), Saturate32(bytesDownloaded_));
}

}  // namespace lunaro::download

#include "download/nexo_ftp_download.h"

#include "download/download_messages.h"
#include "download/nexo_download.h"
#include "download/http_reply_names.h"
#include "download/reply_codes.h"
#include "net/text_utils.h"
#include "platform/files.h"

namespace lunaro::download {

namespace {

bool OpensTransfer(int32_t code) { return code == kFtpFileStatusOk || code == kFtpDataConnectionOpen; }

// The text of a reply line without its code: "550 No such file" gives
// "No such file".
std::string ReplyText(const std::string& line) {
    return line.size() > 4 && line[3] == ' ' ? line.substr(4) : line;
}

// Logs the client out when the download ends, however it ends.
class TLogoutScope {
public:
    explicit TLogoutScope(net::TFTPSend& client) : client_(client) {}
    ~TLogoutScope() { client_.Logout(); }
    TLogoutScope(const TLogoutScope&) = delete;
    TLogoutScope& operator=(const TLogoutScope&) = delete;

private:
    net::TFTPSend& client_;
};

}  // namespace

TNexoFTPDownload::TNexoFTPDownload(TNexoDownload* owner)
    : TNexoDownloadClass(owner), fFTPSend(std::make_unique<net::TFTPSend>()) {
    fFTPSend->OutputStream = &document_;
    AttachSocket(&fFTPSend->DSock(), &document_);
    SetFTP(owner->FTP());
}

TNexoFTPDownload::~TNexoFTPDownload() {
    DetachSocket();
    fFTP.reset();
}

void TNexoFTPDownload::SetFTP(std::shared_ptr<TNexoFTP> value) {
    if (!value) throw ENexoDownloadError(TDownloadErrorId::NoSettings, kMsgNoSettings);
    fFTP = std::move(value);
}

void TNexoFTPDownload::ApplyClientSettings() {
    const TNexoFTP& settings = *fFTP;
    fFTPSend->TargetHost = settings.FtpHost;
    // Empty settings keep the client's own defaults: port 21, anonymous.
    if (!settings.FtpPort.empty()) fFTPSend->TargetPort = settings.FtpPort;
    if (!settings.FtpUser.empty()) fFTPSend->UserName = settings.FtpUser;
    if (!settings.FtpPass.empty()) fFTPSend->Password = settings.FtpPass;
    fFTPSend->Timeout = settings.FtpTimeout;
}

void TNexoFTPDownload::StartDownload() {
    TLogoutScope logout(*fFTPSend);
    ApplyClientSettings();
    // A decoded line break would end the command early and start another.
    const std::string path = net::PercentDecode(net::SplitUrl(DownloadUrl()).Path);
    remotePath_ = HasControlCharacter(path) ? std::string() : path;
    std::string name = DownloadNomeArq().empty() ? LastPathSegment(remotePath_) : DownloadNomeArq();

    // Without a host there is nobody to log in to; an empty name would
    // otherwise be looked up as this machine.
    const bool loggedIn = !fFTP->FtpHost.empty() && fFTPSend->Login();
    RememberReply();
    if (!loggedIn) throw ENexoDownloadError(TDownloadErrorId::LoginFailed, kMsgLoginFailed);
    if (name.empty() || remotePath_.empty()) throw ENexoDownloadError(TDownloadErrorId::NoFileName, kMsgFtpNoFileName);
    if (!name.ends_with(kPartSuffix)) name += kPartSuffix;

    SetFilePart(name);
    OpenFilePart();
    fFTPSend->DirectFileName = FilePart();
    fFTPSend->DirectFile = false;
    remoteSize_ = fFTPSend->FileSize(remotePath_);
    const int64_t offset = RestartOffset();
    // The base counts what this transfer brings on top of the resumed part.
    SetTransferSize(remoteSize_ < 0 ? -1 : remoteSize_ - offset);
    RaiseBeforeDownload();
    transferOpened_ = false;
    fFTPSend->RetrieveFileAt(remotePath_, offset);
    SetResultCode(fFTPSend->ResultCode());
    RememberReply();
    if (!transferOpened_) {
        // Refused before any data: the data connection and the (empty or
        // untouched) partial file are let go.
        fFTPSend->DSock().CloseSocket();
        DiscardFilePart();
    }
    RaiseAfterDownload();
}

int64_t TNexoFTPDownload::RestartOffset() {
    const int64_t resumed = BytesResumed();
    if (resumed == 0) return 0;
    // A server that cannot restart, or a remote file shorter than the
    // partial one (it changed since), sends the whole file.
    if (!fFTPSend->CanResume() || (remoteSize_ >= 0 && remoteSize_ < resumed)) {
        RestartFilePart();
        StoreStatus(TDownloadStatus::stNone);
        return 0;
    }
    return resumed;
}

void TNexoFTPDownload::SocketStatus(net::TBlockSocket* Sender, net::THookSocketReason Reason,
                                    const std::string& Value) {
    SetResultCode(fFTPSend->ResultCode());
    if (OpensTransfer(ResultCode())) transferOpened_ = true;
    if (Reason == net::THookSocketReason::HR_SocketClose) {
        // The client closes its data socket before each passive or active
        // connection; only the closes after the server opened the
        // transfer end it.
        if (ResultCode() == kFtpEnteringPassive || ResultCode() == kFtpEnteringExtendedPassive) return;
        if (!transferOpened_) return;
    }
    TNexoDownloadClass::SocketStatus(Sender, Reason, Value);
}

bool TNexoFTPDownload::FilePartComplete() const {
    if (remoteSize_ < 0) return true;
    return platform::FileExists(FilePart()) && platform::FileSize(FilePart()) == remoteSize_;
}

void TNexoFTPDownload::RememberReply() {
    TTransferReply reply;
    reply.Code = fFTPSend->ResultCode();
    reply.Text = ReplyText(fFTPSend->ResultString());
    if (reply.Code == 0 && transferOpened_) {
        // The control connection died after the transfer had opened: what
        // is known is that the file's bytes were on their way.
        reply.Code = kFtpFileStatusOk;
        reply.Text.clear();
    }
    reply.Received = reply.Code != 0;
    reply.Understood = reply.Received;
    reply.CarriesFile = OpensTransfer(reply.Code) || reply.Code == kFtpTransferComplete;
    // The data connection's error when it had one, else the control's.
    const net::TBlockSocket& data = fFTPSend->DSock();
    const net::TBlockSocket& control = fFTPSend->Sock();
    const net::TBlockSocket& failed = data.LastError() != 0 ? data : control;
    reply.SocketError = failed.LastError();
    reply.SocketErrorDesc = failed.LastErrorDesc();
    lastReply_ = reply;
}

TTransferReply TNexoFTPDownload::LastReply() const { return lastReply_; }

}  // namespace lunaro::download

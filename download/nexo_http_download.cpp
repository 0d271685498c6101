#include "download/nexo_http_download.h"

#include "download/download_messages.h"
#include "download/http_reply_names.h"
#include "download/reply_codes.h"
#include "net/text_utils.h"

namespace lunaro::download {

namespace {

// The probe asks for the first bytes only: it wants the reply headers.
constexpr int64_t kProbeRangeEnd = 1024;

}  // namespace

TNexoHTTPDownload::TNexoHTTPDownload(TNexoDownload* owner)
    : TNexoDownloadClass(owner), fHTTPSend(std::make_unique<net::THTTPSend>()) {
    fHTTPSend->OutputStream = &document_;
    AttachSocket(&fHTTPSend->Sock(), &document_);
}

TNexoHTTPDownload::~TNexoHTTPDownload() { DetachSocket(); }

void TNexoHTTPDownload::ApplyClientSettings() {
    const TNexoProxy& proxy = *Proxy();
    fHTTPSend->ProxyHost = proxy.ProxyHost;
    fHTTPSend->ProxyPort = proxy.ProxyPort;
    fHTTPSend->ProxyUser = proxy.ProxyUser;
    fHTTPSend->ProxyPass = proxy.ProxyPass;
    fHTTPSend->Timeout = proxy.ProxyTimeout;
    // The time-out bounds the connect too, and a connect that waits this way
    // keeps the heartbeat going; the system's own connect would block for
    // minutes without either.
    fHTTPSend->Sock().ConnectionTimeout = proxy.ProxyTimeout;
}

std::string TNexoHTTPDownload::DerivedFileName() {
    std::string name = LastPathSegment(net::SplitUrl(DownloadUrl()).Path);
    if (!name.empty()) return name;
    fHTTPSend->Clear();
    fHTTPSend->RangeEnd = kProbeRangeEnd;
    fHTTPSend->HTTPMethod("GET", DownloadUrl());
    return FileNameFromHeaders(fHTTPSend->Headers());
}

void TNexoHTTPDownload::StartDownload() {
    // Applied on every start, also with a preset name or after a redirect.
    ApplyClientSettings();
    std::string name = DownloadNomeArq();
    if (name.empty()) name = DerivedFileName();
    if (name.empty()) throw ENexoDownloadError(TDownloadErrorId::NoFileName, kMsgNoFileName);
    if (!name.ends_with(kPartSuffix)) name += kPartSuffix;

    redirects_ = 0;
    for (;;) {
        SetFilePart(name);
        OpenFilePart();
        fHTTPSend->Clear();
        fHTTPSend->RangeStart = BytesResumed();
        RaiseBeforeDownload();
        redirectUrl_.clear();
        fHTTPSend->HTTPMethod("GET", DownloadUrl());
        if (redirectUrl_.empty()) break;
        // The same partial file continues with the new address.
        SetDownloadUrl(redirectUrl_);
    }
    RaiseAfterDownload();
}

void TNexoHTTPDownload::SocketStatus(net::TBlockSocket* Sender, net::THookSocketReason Reason,
                                     const std::string& Value) {
    SetResultCode(fHTTPSend->ResultCode());
    SetTransferSize(fHTTPSend->DownloadSize());
    if (Reason == net::THookSocketReason::HR_SocketClose) {
        // The client reports a close before every connection, while its
        // result code still says 500; that is not the end of a transfer.
        if (ResultCode() == kHttpNoReply) return;
        if (ResultCode() == kHttpFound && TakeRedirect()) return;
    }
    TNexoDownloadClass::SocketStatus(Sender, Reason, Value);
}

TTransferReply TNexoHTTPDownload::LastReply() const {
    TTransferReply reply;
    reply.Code = fHTTPSend->ResultCode();
    reply.Text = fHTTPSend->ResultString();
    reply.Received = !(reply.Code == kHttpNoReply && reply.Text.empty());
    reply.Understood = reply.Received && reply.Code != kHttpNotUnderstood;
    reply.CarriesFile = reply.Code == kHttpOk || reply.Code == kHttpPartialContent;
    reply.SocketError = fHTTPSend->Sock().LastError();
    reply.SocketErrorDesc = fHTTPSend->Sock().LastErrorDesc();
    return reply;
}

bool TNexoHTTPDownload::TakeRedirect() {
    if (redirects_ >= kMaxRedirects) return false;
    const std::string target = RedirectTarget(fHTTPSend->Headers(), DownloadUrl());
    if (target.empty()) return false;
    ++redirects_;
    StoreStatus(TDownloadStatus::stRedirect);
    DiscardFilePart();
    redirectUrl_ = target;
    return true;
}

}  // namespace lunaro::download

#include "download/nexo_http_download.h"

#include "download/download_messages.h"
#include "download/file_reply_check.h"
#include "download/http_reply_names.h"
#include "download/redirect_location.h"
#include "download/reply_codes.h"
#include "download/suggested_name.h"
#include "net/text_utils.h"
#include "platform/printable_text.h"

namespace lunaro::download {

namespace {

// The probe asks for the first bytes only: it wants the reply headers.
constexpr int64_t kProbeRangeEnd = 1024;

bool IsReportedMove(int32_t code) { return code == 301 || code == 303 || code == 307 || code == 308; }

// The client keeps the reply head's lines, from the status line to an empty
// one, once the whole head has been read; before the reply they hold the
// request's head.
bool HeadComplete(const platform::TStringList& headers) {
    return headers.Count() >= 2 && headers[0].starts_with("HTTP/") && headers[headers.Count() - 1].empty();
}

}  // namespace

TNexoHTTPDownload::TNexoHTTPDownload(TNexoDownload* owner)
    : TNexoDownloadClass(owner), fHTTPSend(std::make_unique<net::THTTPSend>()) {
    fHTTPSend->OutputStream = &document_;
}

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
    probing_ = true;
    SendGet(0, kProbeRangeEnd);
    probing_ = false;
    name = FileNameFromHeaders(fHTTPSend->Headers());
    if (name.empty()) return name;
    const std::string problem = SuggestedNameProblem(name, DownloadDest());
    if (!problem.empty()) {
        throw ENexoDownloadError(TDownloadErrorId::UnusableName,
                                 MsgUnusableSuggestedName(platform::PrintableText(name), problem));
    }
    return name;
}

void TNexoHTTPDownload::SendGet(int64_t rangeStart, int64_t rangeEnd) {
    fHTTPSend->Clear();
    fHTTPSend->RangeStart = rangeStart;
    fHTTPSend->RangeEnd = rangeEnd;
    requestedStart_ = rangeStart;
    headChecked_ = false;
    ApplyTransferLimits();
    fHTTPSend->HTTPMethod("GET", DownloadUrl());
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
        RaiseBeforeDownload();
        redirectUrl_.clear();
        SendGet(BytesResumed(), 0);
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
    if (probing_) {
        // The probe wants the head; a server that ignores its range must not
        // make it read the whole file.
        if (document_.Size() > kProbeRangeEnd) fHTTPSend->Abort();
    } else if (!headChecked_ && HeadComplete(fHTTPSend->Headers())) {
        CheckReplyHead();
    }
    if (Reason == net::THookSocketReason::HR_SocketClose) {
        // The client reports a close before every connection, while its
        // result code still says 500; that is not the end of a transfer.
        if (ResultCode() == kHttpNoReply) return;
        if (ResultCode() == kHttpFound && TakeRedirect()) return;
        if (!probing_ && RangeReplyProvesFileWhole(ResultCode(), fHTTPSend->Headers(), requestedStart_) &&
            requestedStart_ == BytesResumed()) {
            FinishWholeFilePart();
        }
        // A resume answered by a 200 that brought no byte at all: the
        // partial file is no whole file.
        if (!probing_ && !Refused() && ResultCode() == kHttpOk && requestedStart_ > 0 && document_.Size() == 0) {
            RefuseReply(TReplyRefusal::NotTheRest, "");
        }
    }
    TNexoDownloadClass::SocketStatus(Sender, Reason, Value);
}

void TNexoHTTPDownload::CheckReplyHead() {
    headChecked_ = true;
    const TFileReplyCheck check = CheckFileReply(fHTTPSend->ResultCode(), fHTTPSend->Headers(), requestedStart_);
    if (check.Refusal == TReplyRefusal::None) return;
    RefuseReply(check.Refusal, check.Detail);
    fHTTPSend->Abort();  // its bytes are not wanted
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
    AddRefusalTo(reply);
    if (IsReportedMove(reply.Code)) reply.MovedTo = RedirectTarget(fHTTPSend->Headers(), DownloadUrl());
    return reply;
}

bool TNexoHTTPDownload::TakeRedirect() {
    if (redirects_ >= kMaxRedirects) return false;
    const std::optional<std::string> location = FindHeader(fHTTPSend->Headers(), "Location");
    if (!location) return false;
    const std::string target = ResolveLocation(*location, DownloadUrl()).Url;
    if (target.empty()) {
        RefuseReply(TReplyRefusal::RedirectRefused, *location);
        return false;
    }
    ++redirects_;
    StoreStatus(TDownloadStatus::stRedirect);
    DiscardFilePart();
    redirectUrl_ = target;
    return true;
}

}  // namespace lunaro::download

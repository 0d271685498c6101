#pragma once
// TNexoHTTPDownload: the worker for HTTP. It owns an HTTP client, works out
// the local file name (DownloadNomeArq, else the URL's last path segment,
// else a "filename=" the server suggests, when it is safe to use), asks only
// for the missing bytes of a partial file, sends one GET, checks that the
// reply brings exactly those bytes, and lets the base write, time and finish
// the file from the client's socket reports. A 302 reply to an http or https
// address is followed with the same partial file, up to a limit of redirects.
#include <memory>
#include <string>

#include "download/nexo_download_class.h"
#include "download/releasing_document.h"
#include "net/http/http_send.h"

namespace lunaro::download {

class TNexoHTTPDownload : public TNexoDownloadClass {
public:
    explicit TNexoHTTPDownload(TNexoDownload* owner);
    ~TNexoHTTPDownload() override;

    // Raises ENexoDownloadError when no file name can be found or the one
    // the server suggests is unsafe, and the base's file errors; network
    // failures raise nothing.
    void StartDownload() override;
    void SocketStatus(net::TBlockSocket* Sender, net::THookSocketReason Reason, const std::string& Value) override;
    TTransferReply LastReply() const override;

    // The client, for a caller that wants the last reply or socket error.
    net::THTTPSend& HTTPSend() { return *fHTTPSend; }

    static constexpr int kMaxRedirects = 10;

private:
    void ApplyClientSettings();
    // The URL's last path segment, else the name a short probe request
    // finds in the reply headers; "" when neither gives one.
    std::string DerivedFileName();
    // One request through the client, within the transfer limits.
    void SendGet(int64_t rangeStart, int64_t rangeEnd);
    // Once the reply head is in: refuses a reply that does not bring the
    // bytes the partial file needs, and stops its body.
    void CheckReplyHead();
    // On a 302 close: true when the redirect will be followed.
    bool TakeRedirect();

    TReleasingDocument document_;  // outlives the client that writes into it
    std::unique_ptr<net::THTTPSend> fHTTPSend;
    std::string redirectUrl_;
    int redirects_ = 0;
    int64_t requestedStart_ = 0;
    bool headChecked_ = false;
    bool probing_ = false;
};

}  // namespace lunaro::download

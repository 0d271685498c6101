#pragma once
// THTTPSend: one HTTP/1.x request per HTTPMethod call over a TTCPBlockSocket.
// It composes the request head itself, speaks to a plain HTTP proxy in
// absolute-URL form (and tunnels "https" through it with CONNECT), reads
// identity, chunked and read-to-close bodies, keeps the connection for the
// next call only with protocol "1.1", and keeps cookies. Redirects are not
// followed: the caller reads "Location: " from Headers.
//
// Request text (URL, credentials, header lines) is UTF-8 and goes out in the
// system's ANSI code page; answer header lines are kept as received.
//
// Progress is not reported here: watch Sock()'s OnStatus and OnMonitor and
// read DownloadSize.
//
// Failures leave the cause in Sock().LastError / LastErrorDesc. Besides the
// socket's own codes the client records 10055 when the answer's status line
// or a header line is longer than 64 KiB, its header block exceeds 1 MiB, or
// blank lines before a chunk size exceed 64 KiB; 10060 when the whole head
// did not arrive within Timeout; and 10022 for a URL or method holding a
// line break (refused before anything is sent) and for an answer that cannot
// be read one way only (a negative or oversized Content-Length, two that
// differ, a CR inside a head or chunk size line, a chunk size that is no
// number or beyond 63 bits, chunk data not followed by CR LF).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/corva_client.h"
#include "net/http/http_cookies.h"
#include "net/http/http_response_headers.h"
#include "net/socket/tcp_socket.h"
#include "net/text_utils.h"
#include "platform/stream.h"
#include "platform/string_list.h"

namespace lunaro::net {

class THttpClientSocket;

class THTTPSend : public TCorvaClient {
public:
    THTTPSend();
    ~THTTPSend() override;

    // Sends Method to URL and reads the answer. True when an answer was
    // received and its body read whole: every Content-Length byte, the last
    // chunk and its trailer, or, for a body without a length, everything up
    // to the server's orderly close. A cut body (a close before the length
    // was reached, a reset at any point, a timeout or a broken transfer
    // limit) gives false with Sock().LastError set. Judge the answer by
    // ResultCode.
    bool HTTPMethod(const std::string& Method, const std::string& URL);
    // Forgets the ranges, the document, the headers and the MIME type, and
    // truncates a caller's InputStream and OutputStream.
    void Clear();
    // Reads a status line into ResultCode and ResultString.
    void DecodeStatus(const std::string& Value);
    // Makes the socket's next send, receive or wait end with 10053; safe from
    // a hook or another thread.
    void Abort();

    TTCPBlockSocket& Sock();
    // Before a call: extra request header lines. After: the status line and
    // the answer's header lines, ending with an empty line.
    platform::TStringList& Headers() { return FHeaders; }
    platform::TMemoryStream& Document() { return FDocument; }
    // name=value lines; a server's cookie goes back only to the hosts it
    // allowed (the host that set it, without a Domain), one the caller adds
    // to every host.
    platform::TStringList& Cookies() { return FCookies; }
    int32_t ResultCode() const { return FResultCode; }
    const std::string& ResultString() const { return FResultString; }
    // Expected size of the body part being read: the Content-Length, or the
    // size of the current chunk.
    int64_t DownloadSize() const { return FDownloadSize; }
    int64_t UploadSize() const { return FUploadSize; }

    std::string MimeType = "text/html";  // request Content-Type; after a call the answer's
    std::string Protocol = "1.0";        // "0.9" and "1.1" change behaviour
    bool KeepAlive = true;
    int32_t KeepAliveTimeout = 300;      // seconds
    bool Status100 = false;              // "Expect: 100-continue" before a request body
    std::string ProxyHost;
    std::string ProxyPort = "8080";
    std::string ProxyUser;
    std::string ProxyPass;
    std::string UserAgent = "Mozilla/4.0 (compatible; Corvane)";  // empty sends none
    int64_t RangeStart = 0;
    int64_t RangeEnd = 0;
    bool AddPortNumberToHost = true;
    // Lent streams that replace Document as request and response body.
    platform::TStream* InputStream = nullptr;
    platform::TStream* OutputStream = nullptr;

protected:
    virtual bool ReadToClose();
    virtual bool ReadSized(int64_t Size);
    virtual bool ReadChunkedBody();

    platform::TStream& RequestStream() { return InputStream ? *InputStream : FDocument; }
    platform::TStream& ResponseStream() { return OutputStream ? *OutputStream : FDocument; }

private:
    struct TExchange;

    bool RunExchange(const std::string& Method, const std::string& URL);
    void ComposeRequest(const std::string& Method, const TUrlParts& Url, const TExchange& Exchange);
    bool EnsureConnection(bool WantSSL);
    bool OpenConnection(bool WantSSL);
    std::string ComposeHeaderText();
    bool SendRequest(TExchange& Exchange);
    bool ReadInterimAnswer(TExchange& Exchange);
    void ReadStatusLine(TExchange& Exchange);
    void ReadHeaderBlock(TExchange& Exchange, std::vector<std::string>& Lines);
    void ApplyHeaderBlock(TExchange& Exchange, const std::vector<std::string>& Lines);
    // A line ended by LF (a CR before the LF belongs to the line end);
    // Taken receives the bytes used, line end included. "" with the socket's
    // error set on failure, 10022 for a CR anywhere else in the line.
    std::string ReceiveLine(int Wait, int64_t& Taken);
    // A line of the answer's head; "" with the socket's error set on failure,
    // including when the head outgrows its limit or its time.
    std::string ReceiveHeadLine(TExchange& Exchange);
    // The size line of the next chunk (blank lines before it allowed, within
    // the line limit); false with the socket's error set on failure.
    bool ReadChunkSize(int64_t& Size);
    // The trailer after the last chunk, up to its empty line; its fields are
    // not kept.
    void SkipTrailer();
    void ForgetConnection();

    std::unique_ptr<THttpClientSocket> FSock;
    TTransferEncoding FTransferEncoding = TTransferEncoding::TE_UNKNOWN;
    std::string FAliveHost;
    std::string FAlivePort;
    platform::TStringList FHeaders;
    platform::TMemoryStream FDocument;
    platform::TStringList FCookies;
    TCookieScopes FCookieScopes;
    int32_t FResultCode = 0;
    std::string FResultString;
    int64_t FDownloadSize = 0;
    int64_t FUploadSize = 0;
};

}  // namespace lunaro::net

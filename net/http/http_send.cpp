// THTTPSend: the request/answer exchange of HTTPMethod.
#include "net/http/http_send.h"

#include "net/http/http_client_socket.h"
#include "net/http/http_cookies.h"
#include "net/http/http_request_headers.h"
#include "platform/code_pages.h"
#include "platform/socket_errors.h"
#include "platform/text_case.h"

namespace lunaro::net {

namespace {

// Request bodies below this size go out in one send with the head.
constexpr int64_t kSmallBodySize = 65536;

// Empties a stream. A stream that is already empty is left alone: on some
// file systems truncating a file, even an empty one, makes its close flush
// everything written afterwards, which costs a large download dearly.
void Truncate(platform::TStream& stream) {
    if (stream.Size() != 0) stream.SetSize(0);
    stream.SetPosition(0);
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

std::string ToSystemCodePage(const std::string& text) {
    return platform::Utf8ToCodePage(text, platform::kAnsiCodePage);
}

// 1xx answers other than a protocol switch come before the real one, each
// with a header block of its own.
bool IsInterimCode(int32_t code) { return code >= 100 && code <= 199 && code != 101; }

// Makes the socket's timeouts budgets for a whole call while it lives.
class TWholeCallTimeouts {
public:
    explicit TWholeCallTimeouts(TBlockSocket& socket) : FSocket(socket), FSaved(socket.InterPacketTimeout) {
        socket.InterPacketTimeout = false;
    }
    ~TWholeCallTimeouts() { FSocket.InterPacketTimeout = FSaved; }
    TWholeCallTimeouts(const TWholeCallTimeouts&) = delete;
    TWholeCallTimeouts& operator=(const TWholeCallTimeouts&) = delete;

private:
    TBlockSocket& FSocket;
    bool FSaved;
};

}  // namespace

struct THTTPSend::TExchange {
    bool UsingProxy = false;
    bool SendingData = false;
    bool Expect100 = false;
    // An answer to an "Expect: 100-continue" head that was final rather than
    // interim: its status line and header lines are already read, and the
    // body was never sent.
    bool HasFinalAnswer = false;
    std::string FinalStatusLine;
    std::vector<std::string> FinalHeaderLines;
    int64_t HeadBytes = 0;
    // When the wait for the answer's head began: the whole head must come
    // within the time-out.
    uint32_t HeadStarted = 0;
    // How the last head line ended, so an answer without a status line
    // keeps its first line's bytes as they came.
    std::string LineEnd = "\r\n";
    TResponseFraming Framing;
};

THTTPSend::THTTPSend() : FSock(std::make_unique<THttpClientSocket>()) {
    FSock->Owner = this;
    FSock->ConvertLineEnd = true;
    // Bounds every line the client reads (status, headers, chunk sizes), so
    // a server cannot make a line buffer grow without end.
    FSock->MaxLineLength = static_cast<int32_t>(kMaxHeaderLineLength);
    FSock->SetSizeRecvBuffer(65536);
    FSock->SetSizeSendBuffer(65536);
    Timeout = 90000;
    TargetPort = "80";
    Clear();
}

THTTPSend::~THTTPSend() = default;

TTCPBlockSocket& THTTPSend::Sock() { return *FSock; }

void THTTPSend::Clear() {
    RangeStart = 0;
    RangeEnd = 0;
    FDocument.Clear();
    Truncate(RequestStream());
    Truncate(ResponseStream());
    FHeaders.Clear();
    MimeType = "text/html";
}

void THTTPSend::DecodeStatus(const std::string& Value) { DecodeStatusLine(Value, FResultCode, FResultString); }

void THTTPSend::Abort() { FSock->StopFlag = true; }

bool THTTPSend::HTTPMethod(const std::string& Method, const std::string& URL) {
    try {
        return RunExchange(Method, URL);
    } catch (...) {
        // A failing stream or a raising socket leaves the connection at an
        // unknown point of the answer: never reuse it.
        ForgetConnection();
        throw;
    }
}

bool THTTPSend::RunExchange(const std::string& Method, const std::string& URL) {
    FResultCode = 500;
    FResultString.clear();
    FDownloadSize = 0;
    FUploadSize = 0;
    const std::string url = Trim(URL);
    if (HasLineBreak(url) || HasLineBreak(Method)) {
        FSock->RecordError(platform::WSAEINVAL);
        return false;
    }
    const TUrlParts parts = SplitUrl(url);
    const bool https = platform::AsciiUpperCase(parts.Prot) == "HTTPS";
    TTCPBlockSocket& sock = *FSock;
    sock.HTTPTunnelIP = https ? ProxyHost : "";
    sock.HTTPTunnelPort = https ? ProxyPort : "";
    sock.HTTPTunnelUser = https ? ProxyUser : "";
    sock.HTTPTunnelPass = https ? ProxyPass : "";

    TExchange exchange;
    exchange.UsingProxy = !ProxyHost.empty() && !https;
    exchange.SendingData = RequestStream().Size() > 0;
    exchange.Expect100 = Status100 && exchange.SendingData && Protocol == "1.1";
    ComposeRequest(Method, parts, exchange);
    TargetHost = exchange.UsingProxy ? ProxyHost : parts.Host;
    TargetPort = exchange.UsingProxy ? ProxyPort : parts.Port;
    if (!EnsureConnection(https)) return false;
    if (!SendRequest(exchange)) {
        ForgetConnection();  // part of the request may be out: the connection cannot carry another
        return false;
    }

    Clear();
    FTransferEncoding = TTransferEncoding::TE_UNKNOWN;
    exchange.HeadStarted = TickNow();
    ReadStatusLine(exchange);
    exchange.Framing.ToClose = Protocol != "1.1" || exchange.HasFinalAnswer;
    if (FHeaders.Count() > 0 && sock.LastError() == 0) {
        if (exchange.HasFinalAnswer) {
            ApplyHeaderBlock(exchange, exchange.FinalHeaderLines);
        } else {
            std::vector<std::string> lines;
            ReadHeaderBlock(exchange, lines);
            ApplyHeaderBlock(exchange, lines);
        }
    }
    FTransferEncoding = exchange.Framing.Encoding;
    if (exchange.Framing.Malformed && sock.LastError() == 0)
        FSock->RecordError(platform::WSAEINVAL, "answer with a negative, oversized or conflicting Content-Length");
    if (sock.LastError() != 0) {
        sock.CloseSocket();
        ForgetConnection();
        return false;
    }

    bool result = true;
    if (Method != "HEAD" && FResultCode != 204 && FResultCode != 304) {
        switch (FTransferEncoding) {
            case TTransferEncoding::TE_UNKNOWN: result = ReadToClose(); break;
            case TTransferEncoding::TE_IDENTITY: result = ReadSized(exchange.Framing.Size); break;
            case TTransferEncoding::TE_CHUNKED: result = ReadChunkedBody(); break;
        }
    }
    ResponseStream().SetPosition(0);
    // After a failed body the rest of the answer may still be on its way;
    // a kept connection would hand it to the next request as its answer.
    if (exchange.Framing.ToClose || !result) {
        sock.CloseSocket();
        ForgetConnection();
    }
    CollectCookies(FHeaders, FCookies, parts.Host, &FCookieScopes);
    return result;
}

void THTTPSend::ComposeRequest(const std::string& Method, const TUrlParts& Url, const TExchange& Exchange) {
    THttpRequestHead head;
    head.Method = Method;
    head.Prot = Url.Prot;
    std::string user = PercentDecode(Url.User);
    std::string pass = PercentDecode(Url.Pass);
    if (user.empty()) {
        user = UserName;
        pass = Password;
    }
    head.User = ToSystemCodePage(user);
    head.Pass = ToSystemCodePage(pass);
    head.Host = Url.Host;
    head.Port = Url.Port;
    head.URI = Url.URI;
    head.Protocol = Protocol;
    head.BodySize = Exchange.SendingData ? RequestStream().Size() : 0;
    head.MimeType = MimeType;
    head.UserAgent = UserAgent;
    head.RangeStart = RangeStart;
    head.RangeEnd = RangeEnd;
    head.CookieHeader = CookieHeaderValue(FCookies, FCookieScopes, Url.Host);
    head.KeepAlive = KeepAlive;
    head.KeepAliveTimeout = KeepAliveTimeout;
    head.Expect100 = Exchange.Expect100;
    head.UsingProxy = Exchange.UsingProxy;
    head.ProxyUser = ToSystemCodePage(ProxyUser);
    head.ProxyPass = ToSystemCodePage(ProxyPass);
    head.AddPortNumberToHost = AddPortNumberToHost;

    const std::vector<std::string> lines = ComposeRequestHead(head);
    for (size_t i = 0; i < lines.size(); ++i) FHeaders.Insert(static_cast<int>(i), lines[i]);
    if (!FHeaders[FHeaders.Count() - 1].empty()) FHeaders.Add("");
}

bool THTTPSend::EnsureConnection(bool WantSSL) {
    TTCPBlockSocket& sock = *FSock;
    // Anything pending on a kept connection, even its close, means it is
    // not in the state a new request needs.
    const bool reusable =
        sock.Socket() != INVALID_SOCKET && FAliveHost == TargetHost && FAlivePort == TargetPort;
    if (reusable && !sock.CanRead(0)) return true;
    return OpenConnection(WantSSL);
}

bool THTTPSend::OpenConnection(bool WantSSL) {
    TTCPBlockSocket& sock = *FSock;
    sock.CloseSocket();
    ForgetConnection();
    sock.Bind(IPInterface, "0");
    if (sock.LastError() != 0) return false;
    sock.Connect(TargetHost, TargetPort);
    if (sock.LastError() != 0) return false;
    if (WantSSL) {
        if (sock.SSL().SNIHost.empty()) sock.SSL().SNIHost = TargetHost;
        sock.SSL().Timeout = Timeout;
        sock.SSLDoConnect();
        sock.SSL().SNIHost.clear();
        if (sock.LastError() != 0) return false;
    }
    FAliveHost = TargetHost;
    FAlivePort = TargetPort;
    return true;
}

void THTTPSend::ForgetConnection() {
    FAliveHost.clear();
    FAlivePort.clear();
}

std::string THTTPSend::ComposeHeaderText() {
    return ToSystemCodePage(Protocol == "0.9" ? FHeaders[0] + "\r\n" : FHeaders.Text());
}

bool THTTPSend::SendRequest(TExchange& Exchange) {
    TTCPBlockSocket& sock = *FSock;
    platform::TStream& body = RequestStream();
    body.SetPosition(0);
    const std::string head = ComposeHeaderText();
    const int64_t size = body.Size();
    if (Exchange.Expect100) {
        sock.SendString(head);
        Exchange.HeadStarted = TickNow();
        if (sock.LastError() != 0 || !ReadInterimAnswer(Exchange)) return false;
        if (!Exchange.HasFinalAnswer) {
            FUploadSize = size;
            sock.SendStreamRaw(body);
        }
    } else if (Exchange.SendingData && size < kSmallBodySize) {
        const std::string whole = head + ReadTextFromStream(body, size);
        FUploadSize = static_cast<int64_t>(whole.size());
        sock.SendString(whole);
    } else if (Exchange.SendingData) {
        sock.SendString(head);
        if (sock.LastError() != 0) return false;
        FUploadSize = size;
        sock.SendStreamRaw(body);
    } else {
        sock.SendString(head);
    }
    return sock.LastError() == 0;
}

bool THTTPSend::ReadInterimAnswer(TExchange& Exchange) {
    TTCPBlockSocket& sock = *FSock;
    std::string status;
    do {
        status = ReceiveHeadLine(Exchange);
    } while (status.empty() && sock.LastError() == 0);
    if (sock.LastError() != 0) return false;
    DecodeStatus(status);
    std::vector<std::string> lines;
    ReadHeaderBlock(Exchange, lines);
    if (sock.LastError() != 0) return false;
    if (FResultCode >= 100 && FResultCode <= 199) {
        Exchange.HeadBytes = 0;  // the final answer gets a budget of its own
        return true;
    }
    Exchange.HasFinalAnswer = true;
    Exchange.FinalStatusLine = status;
    Exchange.FinalHeaderLines = std::move(lines);
    return true;
}

void THTTPSend::ReadStatusLine(TExchange& Exchange) {
    if (Exchange.HasFinalAnswer) {
        FHeaders.Add(Exchange.FinalStatusLine);
        return;
    }
    TTCPBlockSocket& sock = *FSock;
    for (;;) {
        std::string line;
        do {
            line = ReceiveHeadLine(Exchange);
        } while (line.empty() && sock.LastError() == 0);
        if (platform::AsciiUpperCase(line.substr(0, 5)) != "HTTP/") {
            // No status line: an HTTP/0.9 answer, whose first line is already body.
            WriteTextToStream(ResponseStream(), line + Exchange.LineEnd);
            FResultCode = 0;
            return;
        }
        FHeaders.Add(line);
        DecodeStatus(line);
        if (!IsInterimCode(FResultCode)) return;
        // An interim answer's header lines say nothing about the final one.
        std::vector<std::string> interimLines;
        ReadHeaderBlock(Exchange, interimLines);
        if (sock.LastError() != 0) return;
    }
}

void THTTPSend::ReadHeaderBlock(TExchange& Exchange, std::vector<std::string>& Lines) {
    for (;;) {
        std::string line = ReceiveHeadLine(Exchange);
        if (FSock->LastError() != 0) return;
        const bool last = line.empty();
        Lines.push_back(std::move(line));
        if (last) return;
    }
}

void THTTPSend::ApplyHeaderBlock(TExchange& Exchange, const std::vector<std::string>& Lines) {
    size_t index = 0;
    while (index < Lines.size()) {
        const std::string line = UnfoldHeaderLine(Lines, index);
        FHeaders.Add(line);
        ApplyResponseHeader(line, Exchange.UsingProxy, Exchange.Framing, MimeType);
    }
}

std::string THTTPSend::ReceiveLine(int Wait, int64_t& Taken) {
    std::string line = FSock->RecvTerminated(Wait, "\n");
    if (FSock->LastError() != 0) return {};
    Taken = static_cast<int64_t>(line.size()) + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A lone CR is a line end to some readers and text to others; an answer
    // read two ways is refused.
    if (line.find('\r') != std::string::npos) {
        FSock->RecordError(platform::WSAEINVAL, "answer with a lone CR inside a line");
        return {};
    }
    return line;
}

std::string THTTPSend::ReceiveHeadLine(TExchange& Exchange) {
    int wait = Timeout;
    if (Timeout >= 0) {
        const int64_t left = int64_t{Timeout} - TickElapsed(Exchange.HeadStarted, TickNow());
        if (left <= 0) {
            FSock->RecordError(platform::WSAETIMEDOUT);
            return {};
        }
        wait = static_cast<int>(left);
    }
    // A server sending a byte now and then would renew a per-packet timeout
    // for ever.
    const TWholeCallTimeouts wholeLine(*FSock);
    int64_t taken = 0;
    std::string line = ReceiveLine(wait, taken);
    if (FSock->LastError() != 0) return {};
    Exchange.LineEnd = taken > static_cast<int64_t>(line.size()) + 1 ? "\r\n" : "\n";
    Exchange.HeadBytes += taken;
    if (Exchange.HeadBytes > kMaxHeaderBlockSize) {
        FSock->RecordError(platform::WSAENOBUFS);
        return {};
    }
    return line;
}

}  // namespace lunaro::net

// TTCPBlockSocket: reaching the target through an HTTP proxy's CONNECT tunnel.
#include "net/socket/tcp_socket.h"
#include "net/text_utils.h"
#include "platform/socket_errors.h"

namespace lunaro::net {

namespace {

// The proxy's answer is read with bounds of its own, so a proxy that sends
// an endless line or endless header lines cannot exhaust memory.
constexpr int32_t kTunnelMaxLineLength = 16384;
constexpr int kTunnelMaxLines = 100;

// Restores the owner's MaxLineLength however the read ends.
class LineLimitScope {
public:
    LineLimitScope(int32_t& limit, int32_t bound) : limit_(limit), saved_(limit) {
        if (limit_ <= 0 || limit_ > bound) limit_ = bound;
    }
    ~LineLimitScope() { limit_ = saved_; }
    LineLimitScope(const LineLimitScope&) = delete;
    LineLimitScope& operator=(const LineLimitScope&) = delete;

private:
    int32_t& limit_;
    int32_t saved_;
};

}  // namespace

void TTCPBlockSocket::ConnectViaTunnel(const std::string& IP, const std::string& Port) {
    const std::string port = std::to_string(ResolvePort(Port));
    TSocksBlockSocket::Connect(HTTPTunnelIP, HTTPTunnelPort);
    if (LastError() != 0) return;
    FHTTPTunnel = false;
    const std::string target = IsIPv6Text(IP) ? "[" + IP + "]" : IP;
    std::string request = "CONNECT " + target + ":" + port + " HTTP/1.0\r\n";
    if (!HTTPTunnelUser.empty()) {
        request += "Proxy-Authorization: Basic " + Base64Encode(HTTPTunnelUser + ":" + HTTPTunnelPass) + "\r\n";
    }
    // One send: the proxy gets the whole request in one segment.
    SendString(request + "\r\n");
    if (LastError() == 0) ReadTunnelAnswer();
    // A granting status line followed by a failure is no tunnel either.
    if (LastError() != 0) FHTTPTunnel = false;
    if (LastError() == 0 && !FHTTPTunnel) SetLastError(platform::WSAECONNREFUSED);
    FHTTPTunnelRemoteIP = IP;
    FHTTPTunnelRemotePort = port;
    ExceptCheck();
}

void TTCPBlockSocket::ReadTunnelAnswer() {
    const LineLimitScope limit(MaxLineLength, kTunnelMaxLineLength);
    for (int lines = 0; lines < kTunnelMaxLines; ++lines) {
        // Lines end in LF; a CR before it stays on the line.
        const std::string line = RecvTerminated(HTTPTunnelTimeout, "\n");
        if (LastError() != 0) return;
        if (line.size() > 11 && line.compare(0, 5, "HTTP/") == 0) FHTTPTunnel = line[9] == '2';
        if (line.empty() || line == "\r") return;
    }
    FHTTPTunnel = false;  // no end to the header block: not an answer to trust
}

}  // namespace lunaro::net

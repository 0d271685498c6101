// TTCPBlockSocket: connecting, listening and accepting through a SOCKS proxy.
#include "net/socket/tcp_socket.h"
#include "platform/socket_errors.h"

namespace lunaro::net {

namespace {

// While the proxy dialogue runs, the socket's addresses are its own (those
// of the link to the proxy), not the ones the proxy reports.
class BypassScope {
public:
    explicit BypassScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BypassScope() { flag_ = false; }
    BypassScope(const BypassScope&) = delete;
    BypassScope& operator=(const BypassScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

void TTCPBlockSocket::ConnectViaSocks(const std::string& IP, const std::string& Port) {
    const BypassScope bypass(FBypassFlag);
    TSocksBlockSocket::Connect(SocksIP, SocksPort);
    if (LastError() != 0) return;
    const bool granted = SocksOpen() && SocksRequest(1, IP, Port) && SocksResponse();
    if (!granted && LastError() == 0) SetLastError(platform::WSASYSNOTREADY);
    FSocksLocalIP = FSocksResponseIP;
    FSocksLocalPort = FSocksResponsePort;
    FSocksRemoteIP = IP;
    FSocksRemotePort = Port;
    ExceptCheck();
    DoStatus(THookSocketReason::HR_Connect, IP + ":" + Port);
}

void TTCPBlockSocket::Listen() {
    if (SocksIP.empty()) {
        TSocksBlockSocket::Listen();
        return;
    }
    const BypassScope bypass(FBypassFlag);
    std::string localIP = GetLocalSinIP();
    if (localIP == "0.0.0.0") localIP = LocalName();
    const std::string localPort = std::to_string(GetLocalSinPort());
    FUsingSocks = false;
    TSocksBlockSocket::Connect(SocksIP, SocksPort);
    const bool granted =
        LastError() == 0 && SocksOpen() && SocksRequest(2, localIP, localPort) && SocksResponse();
    if (!granted && LastError() == 0) SetLastError(platform::WSANO_RECOVERY);
    FSocksLocalIP = FSocksResponseIP == "0.0.0.0" ? SocksIP : FSocksResponseIP;
    FSocksLocalPort = FSocksResponsePort;
    FSocksRemoteIP.clear();
    FSocksRemotePort.clear();
    ExceptCheck();
    DoStatus(THookSocketReason::HR_Listen, "");
}

TSocket TTCPBlockSocket::Accept() {
    if (!FUsingSocks) return TSocksBlockSocket::Accept();
    const BypassScope bypass(FBypassFlag);
    // The proxy's second answer names the peer that connected to it.
    if (!SocksResponse() && LastError() == 0) SetLastError(platform::WSANO_RECOVERY);
    FSocksRemoteIP = FSocksResponseIP;
    FSocksRemotePort = FSocksResponsePort;
    ExceptCheck();
    DoStatus(THookSocketReason::HR_Accept, "");
    return Socket();
}

}  // namespace lunaro::net

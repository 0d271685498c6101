#pragma once
// TTCPBlockSocket: the stream socket every protocol client uses. It reaches
// its target directly, through a SOCKS proxy (TSocksBlockSocket's settings),
// or through an HTTP proxy's CONNECT tunnel, and routes its reads and writes
// through an SSL plug-in when that plug-in is enabled.
#include <functional>
#include <memory>
#include <string>

#include "net/socket/socks_socket.h"
#include "net/socket/ssl_plugin.h"

namespace lunaro::net {

using THookAfterConnect = std::function<void(TBlockSocket* Sender)>;

class TTCPBlockSocket : public TSocksBlockSocket {
public:
    // The socket makes (and owns) one instance of the plug-in class.
    explicit TTCPBlockSocket(TSSLClass SSLPlugin = &SSLClassOf<TSSLNone>);

    THookAfterConnect OnAfterConnect;  // after every successful Connect
    std::string HTTPTunnelIP;          // HTTP proxy for CONNECT; empty: no tunnel
    std::string HTTPTunnelPort;
    std::string HTTPTunnelUser;
    std::string HTTPTunnelPass;
    int32_t HTTPTunnelTimeout = 30000;  // ms, for each line of the proxy's answer

    TCustomSSL& SSL() { return *FSSL; }
    // The last CONNECT was granted.
    bool HTTPTunnel() const { return FHTTPTunnel; }

    // SOCKS when SocksIP is set, else the tunnel when HTTPTunnelIP is set,
    // else a direct connect; then OnAfterConnect when it worked.
    void Connect(const std::string& IP, const std::string& Port) override;
    void Listen() override;
    TSocket Accept() override;
    // SSL shutdown, then (after a clean run) the send direction is shut and
    // what still arrives is drained, then the socket closes.
    void CloseSocket() override;
    int WaitingData() override;
    // Also true at once when the SSL layer holds bytes it took off the
    // socket already: waiting on the socket would not see them.
    bool CanRead(int Timeout) override;

    void SSLDoConnect();
    bool SSLAcceptConnection();
    void SSLDoShutdown();

    std::string GetErrorDescEx() override;
    std::string GetLocalSinIP() override;
    std::string GetRemoteSinIP() override;
    int GetLocalSinPort() override;
    int GetRemoteSinPort() override;
    int GetSocketType() override { return SOCK_STREAM; }
    int GetSocketProtocol() override { return IPPROTO_TCP; }

protected:
    int TransportRecv(void* Buffer, int Length) override;
    int TransportSend(const void* Buffer, int Length) override;

private:
    void ConnectViaSocks(const std::string& IP, const std::string& Port);
    void ConnectViaTunnel(const std::string& IP, const std::string& Port);
    // Reads the proxy's answer to CONNECT; sets FHTTPTunnel from its status.
    void ReadTunnelAnswer();

    std::unique_ptr<TCustomSSL> FSSL;
    bool FHTTPTunnel = false;
    std::string FHTTPTunnelRemoteIP;
    std::string FHTTPTunnelRemotePort;
};

}  // namespace lunaro::net

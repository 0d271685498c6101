// TTCPBlockSocket: connection choice, the SSL data path, closing, and the
// addresses as seen through a proxy.
#include "net/socket/tcp_socket.h"

#include <sys/socket.h>

#include "platform/socket_errors.h"

namespace lunaro::net {

TTCPBlockSocket::TTCPBlockSocket(TSSLClass SSLPlugin) : FSSL(SSLPlugin(this)) {}

void TTCPBlockSocket::Connect(const std::string& IP, const std::string& Port) {
    // These describe the connection being made now, never an earlier one.
    FHTTPTunnel = false;
    FUsingSocks = false;
    if (!SocksIP.empty()) {
        ConnectViaSocks(IP, Port);
    } else if (!HTTPTunnelIP.empty()) {
        ConnectViaTunnel(IP, Port);
    } else {
        TSocksBlockSocket::Connect(IP, Port);
    }
    if (LastError() == 0 && OnAfterConnect) OnAfterConnect(this);
}

void TTCPBlockSocket::CloseSocket() {
    if (FSSL->SSLEnabled()) FSSL->Shutdown();
    if (Socket() != INVALID_SOCKET && LastError() == 0) {
        ::shutdown(Socket(), SHUT_WR);
        Purge();
    }
    TSocksBlockSocket::CloseSocket();
}

// ---- the SSL data path ----------------------------------------------------

int TTCPBlockSocket::TransportRecv(void* Buffer, int Length) {
    if (!FSSL->SSLEnabled()) return TSocksBlockSocket::TransportRecv(Buffer, Length);
    const int received = FSSL->RecvBuffer(Buffer, Length);
    if (FSSL->LastError != 0 || received < 0) {
        SetLastError(platform::WSASYSNOTREADY);
        return -1;
    }
    ResetLastError();
    return received;
}

int TTCPBlockSocket::TransportSend(const void* Buffer, int Length) {
    if (!FSSL->SSLEnabled()) return TSocksBlockSocket::TransportSend(Buffer, Length);
    const int sent = FSSL->SendBuffer(Buffer, Length);
    if (FSSL->LastError != 0 || sent < 0) {
        SetLastError(platform::WSASYSNOTREADY);
        return -1;
    }
    ResetLastError();
    return sent;
}

int TTCPBlockSocket::WaitingData() {
    if (FSSL->SSLEnabled()) {
        const int pending = FSSL->WaitingData();
        if (pending > 0) return pending;
    }
    return TSocksBlockSocket::WaitingData();
}

bool TTCPBlockSocket::CanRead(int Timeout) {
    if (FSSL->SSLEnabled() && FSSL->WaitingData() > 0) return true;
    return TSocksBlockSocket::CanRead(Timeout);
}

void TTCPBlockSocket::SSLDoConnect() {
    ResetLastError();
    if (!FSSL->Connect()) SetLastError(platform::WSASYSNOTREADY);
    ExceptCheck();
}

bool TTCPBlockSocket::SSLAcceptConnection() {
    ResetLastError();
    if (!FSSL->Accept()) SetLastError(platform::WSASYSNOTREADY);
    ExceptCheck();
    return LastError() == 0;
}

void TTCPBlockSocket::SSLDoShutdown() {
    ResetLastError();
    FSSL->BiShutdown();
}

std::string TTCPBlockSocket::GetErrorDescEx() {
    if (LastError() == platform::WSASYSNOTREADY && FSSL->LastError != 0) return FSSL->LastErrorDesc;
    return TSocksBlockSocket::GetErrorDescEx();
}

// ---- addresses ------------------------------------------------------------

std::string TTCPBlockSocket::GetLocalSinIP() {
    return FUsingSocks && !FBypassFlag ? FSocksLocalIP : TSocksBlockSocket::GetLocalSinIP();
}

int TTCPBlockSocket::GetLocalSinPort() {
    return FUsingSocks && !FBypassFlag ? ResolvePort(FSocksLocalPort) : TSocksBlockSocket::GetLocalSinPort();
}

std::string TTCPBlockSocket::GetRemoteSinIP() {
    if (FBypassFlag) return TSocksBlockSocket::GetRemoteSinIP();
    if (FUsingSocks) return FSocksRemoteIP;
    if (FHTTPTunnel) return FHTTPTunnelRemoteIP;
    return TSocksBlockSocket::GetRemoteSinIP();
}

int TTCPBlockSocket::GetRemoteSinPort() {
    if (FBypassFlag) return TSocksBlockSocket::GetRemoteSinPort();
    if (FUsingSocks) return ResolvePort(FSocksRemotePort);
    if (FHTTPTunnel) return ResolvePort(FHTTPTunnelRemotePort);
    return TSocksBlockSocket::GetRemoteSinPort();
}

}  // namespace lunaro::net

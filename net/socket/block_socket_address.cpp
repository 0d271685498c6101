// TBlockSocket: the socket's own addresses and the name, address and port
// lookups in the socket's family.
#include <sys/socket.h>
#include <unistd.h>

#include "net/socket/block_socket.h"
#include "net/text_utils.h"

namespace lunaro::net {

void TBlockSocket::GetSinLocal() {
    if (FSocket == INVALID_SOCKET) return;
    FLocalSin.Clear();
    socklen_t length = sizeof FLocalSin;
    ::getsockname(FSocket, FLocalSin.Address(), &length);
}

void TBlockSocket::GetSinRemote() {
    if (FSocket == INVALID_SOCKET) return;
    FRemoteSin.Clear();
    socklen_t length = sizeof FRemoteSin;
    ::getpeername(FSocket, FRemoteSin.Address(), &length);
}

void TBlockSocket::GetSins() {
    GetSinLocal();
    GetSinRemote();
}

std::string TBlockSocket::GetLocalSinIP() { return SockAddrIP(FLocalSin); }

std::string TBlockSocket::GetRemoteSinIP() { return SockAddrIP(FRemoteSin); }

int TBlockSocket::GetLocalSinPort() { return SockAddrPort(FLocalSin); }

int TBlockSocket::GetRemoteSinPort() { return SockAddrPort(FRemoteSin); }

void TBlockSocket::SetRemoteSin(const std::string& IP, const std::string& Port) {
    TVarSin sin{};
    ResolveSin(IP, Port, sin);
    FRemoteSin = sin;
}

std::string TBlockSocket::LocalName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "127.0.0.1";
    return name;
}

void TBlockSocket::ResolveNameToIP(const std::string& Name, std::vector<std::string>& IPList) {
    LookupNameToIPs(Name, FamilyToAddressFamily(FFamily), GetSocketProtocol(), GetSocketType(), IPList);
}

std::string TBlockSocket::ResolveName(const std::string& Name) {
    std::vector<std::string> list;
    ResolveNameToIP(Name, list);
    return list.empty() ? std::string() : list.front();
}

int TBlockSocket::ResolvePort(const std::string& Port) {
    return LookupPortNumber(Port, FamilyToAddressFamily(FFamily), GetSocketProtocol(), GetSocketType());
}

std::string TBlockSocket::ResolveIPToName(const std::string& IP) {
    const std::string address = IsIPv4Text(IP) || IsIPv6Text(IP) ? IP : ResolveName(IP);
    return LookupIPToName(address, FamilyToAddressFamily(FFamily), GetSocketProtocol(), GetSocketType());
}

}  // namespace lunaro::net

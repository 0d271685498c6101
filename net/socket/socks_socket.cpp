#include "net/socket/socks_socket.h"

#include <initializer_list>

#include "net/text_utils.h"

namespace lunaro::net {

namespace {

constexpr char kSocks5 = 5;
constexpr char kSocks4 = 4;
constexpr char kMethodNone = 0;
constexpr char kMethodUserPassword = 2;
constexpr char kUserPasswordVersion = 1;

std::string Bytes(std::initializer_list<char> bytes) { return std::string(bytes); }

}  // namespace

bool TSocksBlockSocket::SocksOpen() {
    FUsingSocks = false;
    if (SocksType == TSocksType::ST_Socks4) {
        FUsingSocks = true;  // SOCKS4 has no greeting
        return true;
    }
    if (SocksUsername.empty()) {
        SendString(Bytes({kSocks5, 1, kMethodNone}));
    } else {
        SendString(Bytes({kSocks5, 2, kMethodUserPassword, kMethodNone}));
    }
    if (LastError() != 0) return false;
    std::string answer = RecvBufferStr(2, SocksTimeout);
    if (LastError() != 0 || answer.size() != 2 || answer[0] != kSocks5) return false;
    if (answer[1] == kMethodUserPassword) {
        // Each field carries a one-byte length; a longer one cannot be sent truthfully.
        if (SocksUsername.size() > 255 || SocksPassword.size() > 255) return false;
        SendString(Bytes({kUserPasswordVersion, static_cast<char>(SocksUsername.size())}) + SocksUsername +
                   static_cast<char>(SocksPassword.size()) + SocksPassword);
        if (LastError() != 0) return false;
        answer = RecvBufferStr(2, SocksTimeout);
        if (LastError() != 0 || answer.size() != 2 || answer[1] != 0) return false;
    } else if (answer[1] != kMethodNone) {
        return false;
    }
    FUsingSocks = true;
    return true;
}

std::string TSocksBlockSocket::EncodeSocksAddress(const std::string& IP, const std::string& Port) {
    std::string host = IP;
    if (!SocksResolver && !IsIPv4Text(IP) && !IsIPv6Text(IP)) host = ResolveName(IP);
    const int port = ResolvePort(Port);
    if (port < 0 || port > 65535) return {};
    if (SocksType == TSocksType::ST_Socks4) {
        return EncodeSocks4Address(host, static_cast<uint16_t>(port), SocksUsername);
    }
    return EncodeSocks5Address(host, static_cast<uint16_t>(port));
}

bool TSocksBlockSocket::SocksRequest(uint8_t Cmd, const std::string& IP, const std::string& Port) {
    const std::string address = EncodeSocksAddress(IP, Port);
    if (address.empty()) return false;
    const char command = static_cast<char>(Cmd);
    if (SocksType == TSocksType::ST_Socks4) {
        SendString(Bytes({kSocks4, command}) + address);
    } else {
        SendString(Bytes({kSocks5, command, 0}) + address);
    }
    return LastError() == 0;
}

bool TSocksBlockSocket::SocksResponse() {
    FSocksResponseIP.clear();
    FSocksResponsePort.clear();
    FSocksLastError = -1;
    std::string answer;
    if (SocksType == TSocksType::ST_Socks4) {
        answer = RecvBufferStr(8, SocksTimeout);
        if (LastError() != 0 || answer.size() != 8 || answer[0] != 0) return false;
    } else {
        answer = RecvBufferStr(4, SocksTimeout);
        if (LastError() != 0 || answer.size() != 4 || answer[0] != kSocks5) return false;
        switch (answer[3]) {
            case 1:
                answer += RecvBufferStr(4, SocksTimeout);
                break;
            case 3: {
                const std::string length = RecvBufferStr(1, SocksTimeout);
                answer += length;
                if (LastError() == 0 && length.size() == 1) {
                    answer += RecvBufferStr(static_cast<uint8_t>(length[0]), SocksTimeout);
                }
                break;
            }
            case 4:
                answer += RecvBufferStr(16, SocksTimeout);
                break;
            default:
                return false;
        }
        if (LastError() != 0) return false;
        answer += RecvBufferStr(2, SocksTimeout);
        if (LastError() != 0) return false;
    }
    FSocksLastError = static_cast<uint8_t>(answer[1]);
    if (FSocksLastError != 0 && FSocksLastError != 90) return false;
    const TSocksAddress address = DecodeSocksAddress(answer, SocksType);
    FSocksResponseIP = address.IP;
    FSocksResponsePort = address.Port;
    return true;
}

}  // namespace lunaro::net

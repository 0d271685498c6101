#pragma once
// TSocksBlockSocket: a block socket that can reach its target through a
// SOCKS4, SOCKS4a or SOCKS5 proxy. This class holds the proxy settings and
// speaks the SOCKS dialogue; the TCP socket decides when to use it.
#include <cstdint>
#include <string>

#include "net/socket/block_socket.h"
#include "net/socket/socks_address.h"

namespace lunaro::net {

class TSocksBlockSocket : public TBlockSocket {
public:
    using TBlockSocket::TBlockSocket;

    std::string SocksIP;           // empty: no SOCKS proxy
    std::string SocksPort = "1080";
    int32_t SocksTimeout = 60000;  // ms, for every read of a SOCKS answer
    std::string SocksUsername;     // SOCKS5 user/password method; SOCKS4 user id
    std::string SocksPassword;
    bool SocksResolver = true;     // true: names go to the proxy; false: resolved here first
    TSocksType SocksType = TSocksType::ST_Socks5;

    bool UsingSocks() const { return FUsingSocks; }
    // Reply code of the last SOCKS answer, -1 while there is none.
    int32_t SocksLastError() const { return FSocksLastError; }

    // The greeting (and, for SOCKS5 with a user, the user/password step).
    bool SocksOpen();
    // Cmd 1 connects, 2 binds.
    bool SocksRequest(uint8_t Cmd, const std::string& IP, const std::string& Port);
    // Reads one answer; true when it grants the request.
    bool SocksResponse();

protected:
    std::string EncodeSocksAddress(const std::string& IP, const std::string& Port);

    bool FUsingSocks = false;
    int32_t FSocksLastError = 0;
    std::string FSocksResponseIP;
    std::string FSocksResponsePort;
    std::string FSocksLocalIP;
    std::string FSocksLocalPort;
    std::string FSocksRemoteIP;
    std::string FSocksRemotePort;
    bool FBypassFlag = false;  // while a SOCKS exchange runs, addresses are the socket's own
};

}  // namespace lunaro::net

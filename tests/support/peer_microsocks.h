#pragma once
// microsocks as a SOCKS5 server on a free loopback port (IPv4 or IPv6),
// with or without the user/password method.
#include <string>

#include "tests/support/daemon_peer.h"

namespace lunaro::testkit {

struct MicrosocksOptions {
    std::string listenHost = "127.0.0.1";  // or "::1"
    std::string user;                      // non-empty: user/password required
    std::string password;
};

class MicrosocksPeer : public DaemonPeer {
public:
    explicit MicrosocksPeer(const MicrosocksOptions& options);
};

}  // namespace lunaro::testkit

#pragma once
// microsocks as a SOCKS5 server on a free loopback port (IPv4 or IPv6),
// with or without the user/password method.
#include <string>

#include "tests/support/peer_process.h"
#include "tests/support/test_support.h"

namespace lunaro::testing {

struct MicrosocksOptions {
    std::string listenHost = "127.0.0.1";  // or "::1"
    std::string user;                      // non-empty: user/password required
    std::string password;
};

class MicrosocksPeer {
public:
    explicit MicrosocksPeer(const MicrosocksOptions& options);
    bool Running() const { return process_.Running(); }
    const std::string& Error() const { return process_.Error(); }
    int Port() const { return port_; }

private:
    TempDir dir_;
    int port_ = 0;
    PeerProcess process_;
};

}  // namespace lunaro::testing

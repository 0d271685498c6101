#pragma once
// dante-server as a SOCKS server on a free IPv4 loopback port, without
// authentication, passing connect and bind requests between loopback
// addresses. It answers SOCKS4 (and SOCKS5); it does not resolve SOCKS4a
// names, so the 4a form is exercised against a scripted peer instead.
#include <string>

#include "tests/support/peer_process.h"
#include "tests/support/test_support.h"

namespace lunaro::testing {

class DantePeer {
public:
    DantePeer();
    bool Running() const { return process_.Running(); }
    const std::string& Error() const { return process_.Error(); }
    int Port() const { return port_; }

private:
    TempDir dir_;
    int port_ = 0;
    PeerProcess process_;
};

}  // namespace lunaro::testing

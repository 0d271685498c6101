#pragma once
// tinyproxy as an HTTP proxy on a free loopback port, allowing CONNECT only
// to the ports a test names, optionally demanding Basic credentials.
#include <string>
#include <vector>

#include "tests/support/peer_process.h"
#include "tests/support/test_support.h"

namespace lunaro::testing {

struct TinyproxyOptions {
    std::vector<int> connectPorts;  // CONNECT is refused for every other port
    std::string user;               // non-empty: Basic credentials are required
    std::string password;
};

class TinyproxyPeer {
public:
    explicit TinyproxyPeer(const TinyproxyOptions& options);
    bool Running() const { return process_.Running(); }
    const std::string& Error() const { return process_.Error(); }
    int Port() const { return port_; }

private:
    TempDir dir_;
    int port_ = 0;
    PeerProcess process_;
};

}  // namespace lunaro::testing

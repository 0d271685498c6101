#pragma once
// tinyproxy as an HTTP proxy on a free loopback port, allowing CONNECT only
// to the ports a test names, optionally demanding Basic credentials.
#include <string>
#include <vector>

#include "tests/support/daemon_peer.h"

namespace lunaro::testkit {

struct TinyproxyOptions {
    std::vector<int> connectPorts;  // CONNECT is refused for every other port
    std::string user;               // non-empty: Basic credentials are required
    std::string password;
};

class TinyproxyPeer : public DaemonPeer {
public:
    explicit TinyproxyPeer(const TinyproxyOptions& options);
};

}  // namespace lunaro::testkit

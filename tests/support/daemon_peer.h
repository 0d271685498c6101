#pragma once
// A server program configured in a temporary folder of its own and run on a
// free loopback port. The launchers of the real peers (proxies, nginx)
// derive from it and only write their configuration and start the program.
#include <string>

#include "tests/support/peer_process.h"
#include "tests/support/test_support.h"

namespace lunaro::testkit {

class DaemonPeer {
public:
    // False when the program is not installed or did not come up; Error()
    // says why.
    bool Running() const { return process_.Running(); }
    const std::string& Error() const { return process_.Error(); }
    int Port() const { return port_; }

protected:
    DaemonPeer() : port_(FreeLoopbackPort()) {}

    TempDir dir_;
    int port_;
    PeerProcess process_;
};

}  // namespace lunaro::testkit

#pragma once
// A server program configured in a temporary folder of its own and run on a
// free loopback port. The launchers of the real peers (proxies, nginx, FTP)
// derive from it and only write their configuration and say how to run the
// program. A port that was free a moment ago can be taken by another test
// before the daemon binds it; the daemon then runs again on a new port.
#include <functional>
#include <string>
#include <vector>

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

    struct Launch {
        std::string program;
        std::vector<std::string> args;
        std::string host = "127.0.0.1";
        std::string logPath;
    };
    static constexpr int kPortAttempts = 5;

    // Calls prepare, which configures the daemon for port_, and runs what it
    // returns; while the port is lost to someone else, again on a new port.
    void Start(const std::function<Launch()>& prepare);

    TempDir dir_;
    int port_;
    PeerProcess process_;
};

}  // namespace lunaro::testkit

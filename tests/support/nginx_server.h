#pragma once
// A real nginx on a free loopback port, serving a folder. Used by the HTTP,
// download and installer tests.
#include <string>

#include "tests/support/daemon_peer.h"

namespace lunaro::testkit {

struct NginxOptions {
    std::string root;               // folder served at "/"
    std::string extraServerConfig;  // directives added inside the server block
    bool ipv6 = true;               // also listen on [::1]
    std::string listenParameters;   // added to each listen directive (" ssl")
};

class NginxServer : public DaemonPeer {
public:
    explicit NginxServer(const NginxOptions& options);

    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    // Kills every worker process (the master starts new ones), cutting any
    // transfer in progress.
    void KillWorkers();
    void Stop() { process_.Stop(); }
};

}  // namespace lunaro::testkit

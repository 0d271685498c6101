#include "tests/support/daemon_peer.h"

namespace lunaro::testkit {

void DaemonPeer::Start(const std::function<Launch()>& prepare) {
    for (int attempt = 0; attempt < kPortAttempts; ++attempt) {
        if (attempt > 0) port_ = FreeLoopbackPort();
        const Launch launch = prepare();
        if (process_.Start(launch.program, launch.args, launch.host, port_, launch.logPath) != PeerStart::PortLost)
            return;
    }
}

}  // namespace lunaro::testkit

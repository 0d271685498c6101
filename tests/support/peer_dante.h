#pragma once
// dante-server as a SOCKS server on a free IPv4 loopback port, without
// authentication, passing connect and bind requests between loopback
// addresses. It answers SOCKS4 (and SOCKS5); it does not resolve SOCKS4a
// names, so the 4a form is exercised against a scripted peer instead.
#include <string>

#include "tests/support/daemon_peer.h"

namespace lunaro::testkit {

class DantePeer : public DaemonPeer {
public:
    DantePeer();
};

}  // namespace lunaro::testkit

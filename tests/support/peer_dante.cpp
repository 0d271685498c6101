#include "tests/support/peer_dante.h"

#include <unistd.h>

#include <sstream>

namespace lunaro::testkit {

DantePeer::DantePeer() {
    Start([this] {
        std::ostringstream conf;
        conf << "logoutput: " << dir_.File("dante.log") << "\n"
             << "internal: 127.0.0.1 port = " << port_ << "\n"
             << "external: 127.0.0.1\n"
             << "clientmethod: none\nsocksmethod: none\n";
        // The server switches to these users for its work; as root it may stay root.
        if (::geteuid() == 0) conf << "user.privileged: root\nuser.unprivileged: root\n";
        conf << "client pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n  log: error\n}\n"
             << "socks pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n  command: connect bind bindreply\n"
             << "  protocol: tcp\n  log: error\n}\n";
        WriteFile(dir_.File("danted.conf"), conf.str());
        return Launch{
            FindProgram("danted"), {"-f", dir_.File("danted.conf"), "-N", "1"}, "127.0.0.1", dir_.File("danted.out")};
    });
}

}  // namespace lunaro::testkit

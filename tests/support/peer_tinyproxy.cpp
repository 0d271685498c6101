#include "tests/support/peer_tinyproxy.h"

#include <sstream>

namespace lunaro::testkit {

TinyproxyPeer::TinyproxyPeer(const TinyproxyOptions& options) {
    Start([&] {
        std::ostringstream conf;
        conf << "Port " << port_ << "\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 30\nMaxClients 16\nLogLevel Info\n";
        for (int port : options.connectPorts) conf << "ConnectPort " << port << "\n";
        if (!options.user.empty()) conf << "BasicAuth " << options.user << " " << options.password << "\n";
        WriteFile(dir_.File("tinyproxy.conf"), conf.str());
        return Launch{FindProgram("tinyproxy"),
                      {"-d", "-c", dir_.File("tinyproxy.conf")},
                      "127.0.0.1",
                      dir_.File("tinyproxy.log")};
    });
}

}  // namespace lunaro::testkit

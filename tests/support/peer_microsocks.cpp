#include "tests/support/peer_microsocks.h"

#include <vector>

namespace lunaro::testkit {

MicrosocksPeer::MicrosocksPeer(const MicrosocksOptions& options) {
    Start([&] {
        std::vector<std::string> args = {"-i", options.listenHost, "-p", std::to_string(port_)};
        if (!options.user.empty()) {
            args.insert(args.end(), {"-u", options.user, "-P", options.password});
        }
        return Launch{FindProgram("microsocks"), args, options.listenHost, dir_.File("microsocks.log")};
    });
}

}  // namespace lunaro::testkit

#include "tests/support/peer_microsocks.h"

#include <vector>

namespace lunaro::testkit {

MicrosocksPeer::MicrosocksPeer(const MicrosocksOptions& options) {
    std::vector<std::string> args = {"-i", options.listenHost, "-p", std::to_string(port_)};
    if (!options.user.empty()) {
        args.insert(args.end(), {"-u", options.user, "-P", options.password});
    }
    process_.Start(FindProgram("microsocks"), args, options.listenHost, port_, dir_.File("microsocks.log"));
}

}  // namespace lunaro::testkit

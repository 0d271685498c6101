#pragma once
// Who is listening on a loopback TCP port, as the kernel's tables say: a
// test that starts a daemon on a port that was free a moment ago must know
// that the daemon it talks to is its own and not one another test started.
#include <sys/types.h>

namespace lunaro::testkit {

// True when a process of the process group `group` holds a socket that
// listens on TCP `port` (IPv4 or IPv6).
bool GroupListensOn(pid_t group, int port);

}  // namespace lunaro::testkit

#pragma once
// How a socket option reaches the operating system. The options are named
// and numbered as the callers know them (socket level 65535, receive buffer
// 4098, ...); here each becomes its POSIX level and option.
#include "net/socket/socket_hooks.h"
#include "net/binding/socket_interface.h"

namespace lunaro::net {

// Applies option to socket (ip6: the socket is IPv6, which decides the level
// of the TTL and multicast options). Returns 0, or -1 with errno set.
int ApplySocketOption(TSocket socket, const TCorvaOption& option, bool ip6);

}  // namespace lunaro::net

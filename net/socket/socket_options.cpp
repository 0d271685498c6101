#include "net/socket/socket_options.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>

namespace lunaro::net {

namespace {

int SetInt(TSocket socket, int level, int name, int value) {
    return ::setsockopt(socket, level, name, &value, sizeof value);
}

int SetMilliseconds(TSocket socket, int name, int32_t ms) {
    timeval time{};
    if (ms > 0) {
        time.tv_sec = ms / 1000;
        time.tv_usec = (ms % 1000) * 1000;
    }
    return ::setsockopt(socket, SOL_SOCKET, name, &time, sizeof time);
}

int SetNonBlocking(TSocket socket, bool enabled) {
    const int flags = ::fcntl(socket, F_GETFL);
    if (flags < 0) return -1;
    return ::fcntl(socket, F_SETFL, enabled ? flags | O_NONBLOCK : flags & ~O_NONBLOCK);
}

}  // namespace

int ApplySocketOption(TSocket socket, const TCorvaOption& option, bool ip6) {
    switch (option.Option) {
        case TCorvaOptionType::SOT_Linger: {
            const linger value{option.Enabled ? 1 : 0, option.Value / 1000};
            return ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &value, sizeof value);
        }
        case TCorvaOptionType::SOT_RecvBuff:
            return SetInt(socket, SOL_SOCKET, SO_RCVBUF, option.Value);
        case TCorvaOptionType::SOT_SendBuff:
            return SetInt(socket, SOL_SOCKET, SO_SNDBUF, option.Value);
        case TCorvaOptionType::SOT_NonBlock:
            return SetNonBlocking(socket, option.Enabled);
        case TCorvaOptionType::SOT_RecvTimeout:
            return SetMilliseconds(socket, SO_RCVTIMEO, option.Value);
        case TCorvaOptionType::SOT_SendTimeout:
            return SetMilliseconds(socket, SO_SNDTIMEO, option.Value);
        case TCorvaOptionType::SOT_Reuse:
            return SetInt(socket, SOL_SOCKET, SO_REUSEADDR, option.Enabled ? 1 : 0);
        case TCorvaOptionType::SOT_TTL:
            return ip6 ? SetInt(socket, IPPROTO_IPV6, IPV6_UNICAST_HOPS, option.Value)
                       : SetInt(socket, IPPROTO_IP, IP_TTL, option.Value);
        case TCorvaOptionType::SOT_Broadcast:
            return SetInt(socket, SOL_SOCKET, SO_BROADCAST, option.Enabled ? 1 : 0);
        case TCorvaOptionType::SOT_MulticastTTL:
            return ip6 ? SetInt(socket, IPPROTO_IPV6, IPV6_MULTICAST_HOPS, option.Value)
                       : SetInt(socket, IPPROTO_IP, IP_MULTICAST_TTL, option.Value);
        case TCorvaOptionType::SOT_MulticastLoop:
            return ip6 ? SetInt(socket, IPPROTO_IPV6, IPV6_MULTICAST_LOOP, option.Enabled ? 1 : 0)
                       : SetInt(socket, IPPROTO_IP, IP_MULTICAST_LOOP, option.Enabled ? 1 : 0);
    }
    errno = EINVAL;
    return -1;
}

}  // namespace lunaro::net

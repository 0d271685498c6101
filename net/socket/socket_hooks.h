#pragma once
// The types through which a socket's owner watches and tunes it: status
// reasons, the hook signatures and the socket options.
#include <cstdint>
#include <functional>
#include <string>

namespace lunaro::net {

class TBlockSocket;

// Owners compare reasons by number, so the order is part of the interface.
enum class THookSocketReason : uint8_t {
    HR_ResolvingBegin,  // "host:port" as passed
    HR_ResolvingEnd,    // numeric address and port of the result
    HR_SocketCreate,    // "IPv4" or "IPv6"
    HR_SocketClose,     // ""
    HR_Bind,            // "address:port" as passed
    HR_Connect,         // "host:port" as passed
    HR_CanRead,         // ""
    HR_CanWrite,        // ""
    HR_Listen,          // ""
    HR_Accept,          // ""
    HR_ReadCount,       // bytes received, decimal
    HR_WriteCount,      // bytes sent, decimal
    HR_Wait,            // milliseconds the rate limiter sleeps, decimal
    HR_Error,           // "code,description"
};

using THookSocketStatus = std::function<void(TBlockSocket* Sender, THookSocketReason Reason, const std::string& Value)>;
// May rewrite or shorten a received block; a longer result is cut back.
using THookDataFilter = std::function<void(TBlockSocket* Sender, std::string& Value)>;
using THookCreateSocket = std::function<void(TBlockSocket* Sender)>;
// Every block sent (Writing true) or received.
using THookMonitor = std::function<void(TBlockSocket* Sender, bool Writing, const void* Buffer, int Len)>;
using THookHeartbeat = std::function<void(TBlockSocket* Sender)>;

enum class TCorvaOptionType : uint8_t {
    SOT_Linger,
    SOT_RecvBuff,
    SOT_SendBuff,
    SOT_NonBlock,
    SOT_RecvTimeout,
    SOT_SendTimeout,
    SOT_Reuse,
    SOT_TTL,
    SOT_Broadcast,
    SOT_MulticastTTL,
    SOT_MulticastLoop,
};

struct TCorvaOption {
    TCorvaOptionType Option;
    bool Enabled = false;
    int32_t Value = 0;
};

}  // namespace lunaro::net

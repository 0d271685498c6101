#pragma once
// The FTP client's sockets. Faults the client finds in what a server sends
// (a reply or a listing beyond its limits, a command that would split in
// two) are recorded on the socket they concern, as the socket records its
// own, so callers read every failure from one place.
#include <cstdint>

#include "net/socket/tcp_socket.h"

namespace lunaro::net {

class TFTPSocket : public TTCPBlockSocket {
public:
    void RecordError(int32_t Code) {
        SetLastError(Code);
        ExceptCheck();
    }
};

}  // namespace lunaro::net

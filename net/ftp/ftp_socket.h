#pragma once
// The FTP client's sockets. Faults the client finds in what a server sends
// (a reply or a listing beyond its limits, a command that would split in
// two) are recorded on the socket they concern, as the socket records its
// own, so callers read every failure from one place.
//
// Both sockets get the TLS plug-in when it can be loaded, so AutoTLS and
// FullSSL work; without it they fail as the plug-in-less socket does.
#include <cstdint>

#include "net/socket/ssl_plugin_choice.h"
#include "net/socket/tcp_socket.h"

namespace lunaro::net {

class TFTPSocket : public TTCPBlockSocket {
public:
    TFTPSocket() : TTCPBlockSocket(DefaultSSLClass()) {}
    void RecordError(int32_t Code) {
        SetLastError(Code);
        ExceptCheck();
    }
};

}  // namespace lunaro::net

#pragma once
// The HTTP client's socket. Faults the client finds in an exchange (an
// answer too large to hold, a body that cannot be framed, a URL that would
// split the request) are recorded on it exactly as the socket records its
// own, so a caller reads every failure from one place.
#include <cstdint>

#include "net/socket/ssl_plugin_choice.h"
#include "net/socket/tcp_socket.h"

namespace lunaro::net {

class THttpClientSocket : public TTCPBlockSocket {
public:
    // "https" works wherever the TLS module can be loaded.
    THttpClientSocket() : TTCPBlockSocket(DefaultSSLClass()) {}

    void RecordError(int32_t Code) {
        SetLastError(Code);
        ExceptCheck();
    }
};

}  // namespace lunaro::net

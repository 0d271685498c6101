#pragma once
// The HTTP client's socket. Faults the client finds in an exchange (an
// answer too large to hold, a body that cannot be framed, a URL that would
// split the request) are recorded on it exactly as the socket records its
// own, so a caller reads every failure from one place.
#include <cstdint>
#include <string>

#include "net/socket/ssl_plugin_choice.h"
#include "net/socket/tcp_socket.h"

namespace lunaro::net {

class THttpClientSocket : public TTCPBlockSocket {
public:
    // "https" works wherever the TLS module can be loaded.
    THttpClientSocket() : TTCPBlockSocket(DefaultSSLClass()) {}

    // Without a description the code's standard text describes it.
    void RecordError(int32_t Code, std::string Description = {}) {
        if (Description.empty()) SetLastError(Code);
        else SetLastError(Code, std::move(Description));
        ExceptCheck();
    }
};

}  // namespace lunaro::net

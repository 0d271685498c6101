#include "net/binding/socket_module.h"

#include "net/corvane_error.h"
#include "net/binding/socket_interface.h"

namespace lunaro::net {

namespace {

constexpr uint16_t kSocketsVersion = 514;  // 2.2

class SocketModule {
public:
    SocketModule() {
        if (!LoadSocketInterface("ws2_32.dll")) {
            const std::string message = "Error loading Socket interface (ws2_32.dll)!";
            throw ECorvaneError(message, 0, message);
        }
        SocketFunctions().WSAStartup(kSocketsVersion, &net::WSAData());
    }
    ~SocketModule() {
        SocketFunctions().WSACleanup();
        ReleaseSocketInterface();
    }
    SocketModule(const SocketModule&) = delete;
    SocketModule& operator=(const SocketModule&) = delete;
};

}  // namespace

void EnsureSocketModule() {
    // A constructor that throws leaves the object unmade, so the next call
    // tries again.
    static SocketModule module;
}

}  // namespace lunaro::net

#include "net/binding/socket_adapters.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "net/binding/socket_interface.h"
#include "platform/socket_errors.h"

namespace lunaro::net {
namespace {

using namespace lunaro::platform;

constexpr uint16_t kHighestVersion = 0x0202;  // 2.2: low byte major, high byte minor

std::atomic<int> startups{0};

// errno carries the socket error number itself where POSIX has no errno for
// it; WSAGetLastError passes such numbers through unchanged.
int Fail(int socketError) {
    errno = socketError;
    return SOCKET_ERROR;
}

int WSAIoctlAdapter(TSocket, uint32_t, const void*, uint32_t, void*, uint32_t, uint32_t*, void*, void*) {
    return Fail(WSAEOPNOTSUPP);
}

int WSAFDIsSetAdapter(TSocket socket, fd_set* set) {
    // FD_ISSET outside the set's range would read beyond it.
    if (set == nullptr || socket < 0 || socket >= FD_SETSIZE) return 0;
    return FD_ISSET(socket, set) ? 1 : 0;
}

int CloseSocketAdapter(TSocket socket) { return ::close(socket) == 0 ? 0 : SOCKET_ERROR; }

int IoctlSocketAdapter(TSocket socket, uint32_t command, uint32_t* argument) {
    if (argument == nullptr) return Fail(WSAEFAULT);
    if (command == kFionread) {
        int waiting = 0;
        if (::ioctl(socket, FIONREAD, &waiting) != 0) return SOCKET_ERROR;
        *argument = waiting < 0 ? 0 : static_cast<uint32_t>(waiting);
        return 0;
    }
    if (command == kFionbio) {
        int flags = ::fcntl(socket, F_GETFL);
        if (flags < 0) return SOCKET_ERROR;
        flags = *argument != 0 ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
        return ::fcntl(socket, F_SETFL, flags) == 0 ? 0 : SOCKET_ERROR;
    }
    return Fail(WSAEINVAL);
}

int WSAGetLastErrorAdapter() { return LastSocketError(); }

void CopyText(char* target, size_t capacity, const char* text) {
    std::strncpy(target, text, capacity - 1);
    target[capacity - 1] = '\0';
}

int WSAStartupAdapter(uint16_t versionRequired, TWSAData* data) {
    const int major = versionRequired & 0xFF;
    const int minor = versionRequired >> 8;
    if (data == nullptr) return WSAEFAULT;
    if (major < 1) return WSAVERNOTSUPPORTED;
    const bool aboveHighest = major > 2 || (major == 2 && minor > 2);
    *data = TWSAData{};
    data->wVersion = aboveHighest ? kHighestVersion : versionRequired;
    data->wHighVersion = kHighestVersion;
    CopyText(data->szDescription, sizeof data->szDescription, "POSIX sockets");
    CopyText(data->szSystemStatus, sizeof data->szSystemStatus, "Running");
    ++startups;
    return 0;
}

int WSACleanupAdapter() {
    int current = startups.load();
    while (current > 0 && !startups.compare_exchange_weak(current, current - 1)) {
    }
    return current > 0 ? 0 : Fail(WSANOTINITIALISED);
}

struct Export {
    const char* name;
    TProc address;
};

const Export kAdapters[] = {
    {"WSAIoctl", reinterpret_cast<TProc>(&WSAIoctlAdapter)},
    {"__WSAFDIsSet", reinterpret_cast<TProc>(&WSAFDIsSetAdapter)},
    {"closesocket", reinterpret_cast<TProc>(&CloseSocketAdapter)},
    {"ioctlsocket", reinterpret_cast<TProc>(&IoctlSocketAdapter)},
    {"WSAGetLastError", reinterpret_cast<TProc>(&WSAGetLastErrorAdapter)},
    {"WSAStartup", reinterpret_cast<TProc>(&WSAStartupAdapter)},
    {"WSACleanup", reinterpret_cast<TProc>(&WSACleanupAdapter)},
};

}  // namespace

TProc FindSocketAdapter(const char* name) {
    if (name == nullptr) return nullptr;
    for (const Export& entry : kAdapters) {
        if (std::strcmp(entry.name, name) == 0) return entry.address;
    }
    return nullptr;
}

}  // namespace lunaro::net

#include "net/binding/socket_interface.h"

#include <atomic>
#include <cstring>
#include <type_traits>

#include "net/binding/socket_library.h"

namespace lunaro::net {
namespace {

struct ModuleState {
    std::mutex lock;
    int users = 0;
    TSocketFunctions table;
    std::atomic<bool> enhancedApi{false};
    std::atomic<bool> ip6SupportApi{false};
    TWSAData wsaData;
};

// Constant-initialised, so it is usable from any other module's start-up or
// shut-down code whatever the order of initialisation.
constinit ModuleState state;

template <auto Member>
void Assign(TSocketFunctions& table, TProc address) {
    using Pointer = std::remove_reference_t<decltype(table.*Member)>;
    table.*Member = reinterpret_cast<Pointer>(address);
}

struct Binding {
    const char* name;
    void (*assign)(TSocketFunctions&, TProc);
};

const Binding kBindings[] = {
    {"WSAIoctl", &Assign<&TSocketFunctions::WSAIoctl>},
    {"__WSAFDIsSet", &Assign<&TSocketFunctions::WSAFDIsSet>},
    {"closesocket", &Assign<&TSocketFunctions::closesocket>},
    {"ioctlsocket", &Assign<&TSocketFunctions::ioctlsocket>},
    {"WSAGetLastError", &Assign<&TSocketFunctions::WSAGetLastError>},
    {"WSAStartup", &Assign<&TSocketFunctions::WSAStartup>},
    {"WSACleanup", &Assign<&TSocketFunctions::WSACleanup>},
    {"accept", &Assign<&TSocketFunctions::accept>},
    {"bind", &Assign<&TSocketFunctions::bind>},
    {"connect", &Assign<&TSocketFunctions::connect>},
    {"getpeername", &Assign<&TSocketFunctions::getpeername>},
    {"getsockname", &Assign<&TSocketFunctions::getsockname>},
    {"getsockopt", &Assign<&TSocketFunctions::getsockopt>},
    {"htonl", &Assign<&TSocketFunctions::htonl>},
    {"htons", &Assign<&TSocketFunctions::htons>},
    {"inet_addr", &Assign<&TSocketFunctions::inet_addr>},
    {"inet_ntoa", &Assign<&TSocketFunctions::inet_ntoa>},
    {"listen", &Assign<&TSocketFunctions::listen>},
    {"ntohl", &Assign<&TSocketFunctions::ntohl>},
    {"ntohs", &Assign<&TSocketFunctions::ntohs>},
    {"recv", &Assign<&TSocketFunctions::recv>},
    {"recvfrom", &Assign<&TSocketFunctions::recvfrom>},
    {"select", &Assign<&TSocketFunctions::select>},
    {"send", &Assign<&TSocketFunctions::send>},
    {"sendto", &Assign<&TSocketFunctions::sendto>},
    {"setsockopt", &Assign<&TSocketFunctions::setsockopt>},
    {"shutdown", &Assign<&TSocketFunctions::shutdown>},
    {"socket", &Assign<&TSocketFunctions::socket>},
    {"gethostbyaddr", &Assign<&TSocketFunctions::gethostbyaddr>},
    {"gethostbyname", &Assign<&TSocketFunctions::gethostbyname>},
    {"getprotobyname", &Assign<&TSocketFunctions::getprotobyname>},
    {"getprotobynumber", &Assign<&TSocketFunctions::getprotobynumber>},
    {"getservbyname", &Assign<&TSocketFunctions::getservbyname>},
    {"getservbyport", &Assign<&TSocketFunctions::getservbyport>},
    {"gethostname", &Assign<&TSocketFunctions::gethostname>},
    {"getaddrinfo", &Assign<&TSocketFunctions::getaddrinfo>},
    {"freeaddrinfo", &Assign<&TSocketFunctions::freeaddrinfo>},
    {"getnameinfo", &Assign<&TSocketFunctions::getnameinfo>},
};

bool HasAddressInfo(const TSocketFunctions& table) {
    return table.getaddrinfo != nullptr && table.freeaddrinfo != nullptr && table.getnameinfo != nullptr;
}

// The address-information functions from the IPv6 support library, when the
// main library lacks them.
void BindIp6Support() {
    const TSocketLibrary* library = FindSocketLibrary("wship6.dll");
    if (library == nullptr) return;
    for (const Binding& binding : kBindings) {
        const TProc address = library->resolve(binding.name);
        if (address != nullptr) binding.assign(state.table, address);
    }
    state.ip6SupportApi = HasAddressInfo(state.table);
}

}  // namespace

int FamilyToAddressFamily(TSocketFamily family) {
    switch (family) {
        case TSocketFamily::SF_IP4: return FamilyIP4;
        case TSocketFamily::SF_IP6: return FamilyIP6;
        default: return FamilyUnspecified;
    }
}

int HostAddressFamily(int familyNumber) {
    switch (familyNumber) {
        case FamilyUnspecified: return AF_UNSPEC;
        case FamilyIP4: return AF_INET;
        case FamilyIP6: return AF_INET6;
        default: return -1;
    }
}

int FamilyNumberOf(int hostAddressFamily) {
    if (hostAddressFamily == AF_INET) return FamilyIP4;
    if (hostAddressFamily == AF_INET6) return FamilyIP6;
    return FamilyUnspecified;
}

void TVarSin::Clear() { std::memset(static_cast<void*>(this), 0, sizeof(TVarSin)); }

socklen_t TVarSin::Length() const {
    return AddressFamily == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
}

std::mutex& SocketInterfaceLock() { return state.lock; }

int SocketInterfaceUsers() {
    std::lock_guard<std::mutex> guard(state.lock);
    return state.users;
}

const TSocketFunctions& SocketFunctions() { return state.table; }
bool EnhancedApi() { return state.enhancedApi; }
bool Ip6SupportApi() { return state.ip6SupportApi; }
TWSAData& WSAData() { return state.wsaData; }

bool LoadSocketInterface(const std::string& libraryName) {
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.users > 0) {
        ++state.users;
        return true;
    }
    state.enhancedApi = false;
    state.ip6SupportApi = false;
    const TSocketLibrary* library = FindSocketLibrary(libraryName.empty() ? "ws2_32.dll" : libraryName.c_str());
    if (library == nullptr) return false;
    state.table = TSocketFunctions{};
    for (const Binding& binding : kBindings) binding.assign(state.table, library->resolve(binding.name));
    state.enhancedApi = HasAddressInfo(state.table);
    if (!state.enhancedApi) BindIp6Support();
    state.users = 1;
    return true;
}

bool ReleaseSocketInterface() {
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.users > 0) --state.users;
    if (state.users == 0) {
        // Emptied rather than left dangling: a late caller gets a clean
        // "not initialised" instead of a call into an unloaded library.
        state.table = TSocketFunctions{};
        state.enhancedApi = false;
        state.ip6SupportApi = false;
    }
    return true;
}

void SetEnhancedApiForTesting(bool enhancedApi, bool ip6SupportApi) {
    std::lock_guard<std::mutex> guard(state.lock);
    state.enhancedApi = enhancedApi;
    state.ip6SupportApi = ip6SupportApi;
}

bool UsesEnhancedApi(int family) { return state.enhancedApi || (family == FamilyIP6 && state.ip6SupportApi); }

}  // namespace lunaro::net

// Host/port text <-> socket addresses, and the name, port and address
// lookups, through the bound function table. The enhanced path uses the
// address-information calls; the legacy path (IPv4 only) the older calls,
// whose results live in shared static storage and are only touched under
// SocketInterfaceLock.
#include <arpa/inet.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "net/binding/socket_interface.h"
#include "platform/socket_errors.h"

namespace lunaro::net {
namespace {

using namespace lunaro::platform;

constexpr int kNumericHostAndService = NI_NUMERICHOST | NI_NUMERICSERV;
constexpr size_t kHostTextSize = 1025;
constexpr size_t kServiceTextSize = 32;

bool IsDecimal(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The address-information calls would silently wrap such a port (70000 ->
// 4464) and connect somewhere else; it is refused instead.
bool IsPortOutOfRange(const std::string& port) {
    if (!IsDecimal(port)) return false;
    const size_t firstSignificant = port.find_first_not_of('0');
    if (firstSignificant == std::string::npos) return false;
    return port.size() - firstSignificant > 5 || std::stoul(port.substr(firstSignificant)) > 65535;
}

// A decimal port text as a number; 0 when it is not one.
uint16_t DecimalPort(const std::string& port) {
    if (!IsDecimal(port) || IsPortOutOfRange(port)) return 0;
    return static_cast<uint16_t>(std::stoul(port));
}

bool HasAddressInfo(const TSocketFunctions& api) {
    return api.getaddrinfo != nullptr && api.freeaddrinfo != nullptr && api.getnameinfo != nullptr;
}

bool HasLegacyLookups(const TSocketFunctions& api) {
    return api.inet_addr != nullptr && api.gethostbyname != nullptr && api.gethostbyaddr != nullptr &&
           api.getprotobynumber != nullptr && api.getservbyname != nullptr;
}

void AddUnique(std::vector<std::string>& list, const std::string& entry) {
    if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}

bool IsIPv4Entry(const hostent* entry) {
    return entry != nullptr && entry->h_addrtype == AF_INET && entry->h_length == 4 && entry->h_addr_list != nullptr;
}

// Port in network byte order: a decimal number, else the protocol's service
// of that name, else 0. Caller holds SocketInterfaceLock.
uint16_t LegacyServicePort(const TSocketFunctions& api, const std::string& port, int protocol) {
    if (IsDecimal(port)) return htons(DecimalPort(port));
    const protoent* protocolEntry = api.getprotobynumber(protocol);
    if (protocolEntry == nullptr) return 0;
    const servent* service = api.getservbyname(port.c_str(), protocolEntry->p_name);
    return service != nullptr ? static_cast<uint16_t>(service->s_port) : 0;
}

int FillSockAddrLegacy(TVarSin& sin, const std::string& host, const std::string& port, int protocol) {
    const TSocketFunctions& api = SocketFunctions();
    std::lock_guard<std::mutex> guard(SocketInterfaceLock());
    if (!HasLegacyLookups(api)) return WSANOTINITIALISED;
    if (IsPortOutOfRange(port)) return WSAEINVAL;
    sin.in4.sin_family = AF_INET;
    sin.in4.sin_port = LegacyServicePort(api, port, protocol);
    if (host == "255.255.255.255") {
        sin.in4.sin_addr.s_addr = INADDR_BROADCAST;
        return 0;
    }
    const in_addr_t numeric = api.inet_addr(host.c_str());
    if (numeric != INADDR_NONE) {
        sin.in4.sin_addr.s_addr = numeric;
        return 0;
    }
    const hostent* entry = api.gethostbyname(host.c_str());
    if (entry == nullptr) return SocketErrorFromHostError(h_errno, errno);
    if (!IsIPv4Entry(entry) || entry->h_addr_list[0] == nullptr) return WSANO_DATA;
    std::memcpy(&sin.in4.sin_addr, entry->h_addr_list[0], 4);
    return 0;
}

void AddResolvedAddresses(const std::string& name, int family, int protocol, int socketType,
                          std::vector<std::string>& list) {
    const TSocketFunctions& api = SocketFunctions();
    if (!HasAddressInfo(api)) return;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = socketType;
    hints.ai_protocol = protocol;
    addrinfo* result = nullptr;
    if (api.getaddrinfo(name.c_str(), nullptr, &hints, &result) == 0) {
        for (const addrinfo* entry = result; entry != nullptr; entry = entry->ai_next) {
            if (family == FamilyIP6 && entry->ai_family == AF_INET) continue;
            if (family == FamilyIP4 && entry->ai_family == AF_INET6) continue;
            char host[kHostTextSize];
            if (entry->ai_addr != nullptr &&
                api.getnameinfo(entry->ai_addr, entry->ai_addrlen, host, sizeof host, nullptr, 0,
                                kNumericHostAndService) == 0) {
                // One address comes back once per socket type when the type
                // is left open; the list names each address once.
                AddUnique(list, host);
            }
        }
    }
    if (result != nullptr) api.freeaddrinfo(result);
}

void AddLegacyAddresses(const std::string& name, std::vector<std::string>& list) {
    const TSocketFunctions& api = SocketFunctions();
    std::lock_guard<std::mutex> guard(SocketInterfaceLock());
    if (!HasLegacyLookups(api)) return;
    if (api.inet_addr(name.c_str()) != INADDR_NONE) {
        list.push_back(name);
        return;
    }
    const hostent* entry = api.gethostbyname(name.c_str());
    if (!IsIPv4Entry(entry)) return;
    for (char** address = entry->h_addr_list; *address != nullptr; ++address) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(*address);
        char text[16];
        std::snprintf(text, sizeof text, "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
        AddUnique(list, text);
    }
}

}  // namespace

int LookupAddress(const std::string& host, const std::string& port, const addrinfo& hints, TVarSin& sin) {
    sin.Clear();
    const TSocketFunctions& api = SocketFunctions();
    if (api.getaddrinfo == nullptr || api.freeaddrinfo == nullptr) return WSANOTINITIALISED;
    if (IsPortOutOfRange(port)) return WSAEINVAL;
    addrinfo hint{};
    hint.ai_flags = hints.ai_flags;
    hint.ai_family = hints.ai_family;
    hint.ai_socktype = hints.ai_socktype;
    hint.ai_protocol = hints.ai_protocol;
    const char* node = host.c_str();
    const char* service = port.c_str();
    if (hint.ai_socktype == SOCK_RAW) {
        hint.ai_socktype = 0;
        hint.ai_protocol = 0;
        service = nullptr;
    } else if (host == "0.0.0.0" || host == "::0") {
        hint.ai_flags |= AI_PASSIVE;
        node = nullptr;
    } else if (host == "127.0.0.1" || host == "::1") {
        node = nullptr;  // the loopback address of the hint's family
    }
    addrinfo* result = nullptr;
    const int code = api.getaddrinfo(node, service, &hint, &result);
    const int savedErrno = errno;
    if (code == 0 && result != nullptr && result->ai_addr != nullptr) {
        std::memcpy(static_cast<void*>(&sin), result->ai_addr,
                    std::min<size_t>(result->ai_addrlen, sizeof(TVarSin)));
    }
    if (result != nullptr) api.freeaddrinfo(result);
    return SocketErrorFromAddrInfo(code, savedErrno);
}

int FillSockAddr(TVarSin& sin, const std::string& host, const std::string& port, int family, int protocol,
                 int socketType, bool preferIP4) {
    sin.Clear();
    const int hostFamily = HostAddressFamily(family);
    if (hostFamily < 0) return WSAEAFNOSUPPORT;
    if (!UsesEnhancedApi(family)) return FillSockAddrLegacy(sin, host, port, protocol);

    addrinfo first{};
    addrinfo second{};
    first.ai_socktype = second.ai_socktype = socketType;
    first.ai_protocol = second.ai_protocol = protocol;
    const bool secondPass = family == FamilyUnspecified;
    if (secondPass) {
        first.ai_family = preferIP4 ? AF_INET : AF_INET6;
        second.ai_family = preferIP4 ? AF_INET6 : AF_INET;
    } else {
        first.ai_family = hostFamily;
    }
    int result = LookupAddress(host, port, first, sin);
    if (result != 0 && secondPass) result = LookupAddress(host, port, second, sin);
    return result;
}

std::string SockAddrIP(const TVarSin& sin) {
    const TSocketFunctions& api = SocketFunctions();
    if (UsesEnhancedApi(FamilyNumberOf(sin.AddressFamily))) {
        if (api.getnameinfo == nullptr) return "";
        char host[kHostTextSize];
        char service[kServiceTextSize];
        const int code = api.getnameinfo(sin.Address(), sin.Length(), host, sizeof host, service, sizeof service,
                                         kNumericHostAndService);
        return code == 0 ? host : "";
    }
    // The legacy calls know IPv4 only; any other record has no text there.
    if (sin.AddressFamily != AF_INET || api.inet_ntoa == nullptr) return "";
    const char* text = api.inet_ntoa(sin.in4.sin_addr);
    return text != nullptr ? text : "";
}

int SockAddrPort(const TVarSin& sin) { return ntohs(sin.in4.sin_port); }

void LookupNameToIPs(const std::string& name, int family, int protocol, int socketType,
                     std::vector<std::string>& list) {
    list.clear();
    if (UsesEnhancedApi(family)) {
        AddResolvedAddresses(name, family, protocol, socketType, list);
    } else {
        AddLegacyAddresses(name, list);
    }
    if (list.empty()) list.push_back("0.0.0.0");
}

int LookupPortNumber(const std::string& port, int family, int protocol, int socketType) {
    const TSocketFunctions& api = SocketFunctions();
    if (!UsesEnhancedApi(family)) {
        std::lock_guard<std::mutex> guard(SocketInterfaceLock());
        if (!HasLegacyLookups(api)) return 0;
        return ntohs(LegacyServicePort(api, port, protocol));
    }
    if (!HasAddressInfo(api) || IsPortOutOfRange(port)) return 0;
    addrinfo hints{};
    hints.ai_flags = AI_PASSIVE;
    hints.ai_socktype = socketType;
    hints.ai_protocol = protocol;
    addrinfo* result = nullptr;
    int number = 0;
    if (api.getaddrinfo(nullptr, port.c_str(), &hints, &result) == 0 && result != nullptr &&
        result->ai_addr != nullptr && (result->ai_family == AF_INET || result->ai_family == AF_INET6)) {
        // The port field sits at the same place in both address forms.
        number = ntohs(reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_port);
    }
    if (result != nullptr) api.freeaddrinfo(result);
    return number;
}

std::string LookupIPToName(const std::string& ip, int family, int protocol, int socketType) {
    const TSocketFunctions& api = SocketFunctions();
    std::string name = ip;
    if (!UsesEnhancedApi(family)) {
        std::lock_guard<std::mutex> guard(SocketInterfaceLock());
        if (!HasLegacyLookups(api)) return name;
        const in_addr_t address = api.inet_addr(ip.c_str());
        if (address == INADDR_NONE) return name;
        const hostent* entry = api.gethostbyaddr(&address, 4, AF_INET);
        if (entry != nullptr && entry->h_name != nullptr) name = entry->h_name;
        return name;
    }
    const int hostFamily = HostAddressFamily(family);
    if (!HasAddressInfo(api) || hostFamily < 0) return name;
    addrinfo hints{};
    hints.ai_family = hostFamily;
    hints.ai_socktype = socketType;
    hints.ai_protocol = protocol;
    addrinfo* result = nullptr;
    if (api.getaddrinfo(ip.c_str(), nullptr, &hints, &result) == 0 && result != nullptr &&
        result->ai_addr != nullptr) {
        char host[kHostTextSize];
        if (api.getnameinfo(result->ai_addr, result->ai_addrlen, host, sizeof host, nullptr, 0, NI_NUMERICSERV) == 0) {
            name = host;
        }
    }
    if (result != nullptr) api.freeaddrinfo(result);
    return name;
}

}  // namespace lunaro::net

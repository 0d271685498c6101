#pragma once
// Run-time binding of the sockets library and the address functions the
// block socket builds on: host and port text to a socket address, a socket
// address back to numeric text, and the name, port and address lookups.
//
// On this platform the "library" is the C library itself, bound directly:
// LoadSocketInterface fills the function table by name from it, and the few
// calls POSIX lacks (WSAStartup, closesocket, ioctlsocket, ...) come from
// small adapters of ours, so the table is always complete.
//
// Library names LoadSocketInterface accepts (letter case ignored):
//   ""  or "ws2_32.dll"  the full binding (address-information calls
//                        included, so the enhanced API is used);
//   "wsock32.dll"        the same without getaddrinfo, freeaddrinfo and
//                        getnameinfo: those then come from the IPv6 support
//                        library "wship6.dll", exactly as on a system whose
//                        main library lacks them.
// Any other name cannot be loaded and makes LoadSocketInterface fail.
//
// Address families. Two numberings meet here:
//   - "family numbers" are the system's own: 0 unspecified, 2 IPv4, 23 IPv6
//     (FamilyIP4/FamilyIP6 below). Every parameter called `family` takes
//     these, and FamilyToAddressFamily returns them.
//   - TVarSin and addrinfo records hold the HOST's AF_INET/AF_INET6, because
//     they go straight into the POSIX calls (bind, connect, getnameinfo...).
// HostAddressFamily/FamilyNumberOf convert between the two.
//
// Errors are socket error numbers (platform/socket_errors.h): 11001 for a
// host name that does not resolve, and so on.
//
// Thread safety: SocketInterfaceLock serialises loading, releasing and every
// legacy lookup (gethostbyname & co., whose results live in shared static
// storage). The getaddrinfo path takes no lock. The table must stay loaded
// while lookups run: the block-socket module holds one reference for the
// life of the process.
#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace lunaro::net {

// ---- family numbers -------------------------------------------------------

inline constexpr int FamilyUnspecified = 0;
inline constexpr int FamilyIP4 = 2;
inline constexpr int FamilyIP6 = 23;

enum class TSocketFamily : uint8_t { SF_Any, SF_IP4, SF_IP6 };

// SF_Any -> 0, SF_IP4 -> 2, SF_IP6 -> 23.
int FamilyToAddressFamily(TSocketFamily family);
// Family number -> host AF_UNSPEC/AF_INET/AF_INET6; -1 for any other number.
int HostAddressFamily(int familyNumber);
// Host AF_INET/AF_INET6 -> 2/23; anything else -> 0.
int FamilyNumberOf(int hostAddressFamily);

// ---- socket address record ------------------------------------------------

// 28 bytes laid out as the host's IPv6 socket address, able to hold either
// form. Family fields hold host AF_ values (see above).
union TVarSin {
    sockaddr_in6 in6;  // first, so that value-initialisation zeroes all 28 bytes
    sockaddr_in in4;   // in4.sin_family, in4.sin_port, in4.sin_addr, in4.sin_zero
    uint16_t AddressFamily;

    void Clear();
    sockaddr* Address() { return reinterpret_cast<sockaddr*>(this); }
    const sockaddr* Address() const { return reinterpret_cast<const sockaddr*>(this); }
    // The length POSIX calls expect for the record's family: 16 for IPv4,
    // 28 otherwise.
    socklen_t Length() const;
};
static_assert(sizeof(TVarSin) == 28, "TVarSin must have the IPv6 socket address size");

inline constexpr in6_addr AddressAnyV6 = IN6ADDR_ANY_INIT;
inline constexpr in6_addr AddressLoopbackV6 = IN6ADDR_LOOPBACK_INIT;

// ---- the function table ---------------------------------------------------

using TSocket = int;
inline constexpr TSocket INVALID_SOCKET = -1;
inline constexpr int SOCKET_ERROR = -1;

// I/O control codes of ioctlsocket, in the numbering the callers use.
inline constexpr uint32_t kFionread = 0x4004667Fu;  // 1074030207: bytes waiting
inline constexpr uint32_t kFionbio = 0x8004667Eu;   // 2147772030: non-blocking on/off

// The library start-up record. WSAStartup fills it.
struct TWSAData {
    uint16_t wVersion = 0;
    uint16_t wHighVersion = 0;
    char szDescription[257] = {};
    char szSystemStatus[129] = {};
    uint16_t iMaxSockets = 0;
    uint16_t iMaxUdpDg = 0;
    char* lpVendorInfo = nullptr;
};

// One pointer per function, filled by name in this order. POSIX functions
// keep their POSIX signatures (and report failures through errno, which
// WSAGetLastError translates). The adapters:
//   WSAIoctl         not supported: fails with 10045.
//   WSAFDIsSet       (exported as "__WSAFDIsSet") FD_ISSET, 0 for a handle
//                    outside the set's range.
//   closesocket      close.
//   ioctlsocket      kFionread and kFionbio; other codes fail with 10022.
//   WSAGetLastError  errno of the calling thread as a socket error number.
//   WSAStartup       fills the record for any version from 1.0 (highest 2.2)
//                    and returns 0; it returns the error number itself for a
//                    lower version (10092) or a null record (10014).
//   WSACleanup       undoes one WSAStartup; without one it fails with 10093.
// The other adapters return SOCKET_ERROR on failure and leave the reason for
// WSAGetLastError.
struct TSocketFunctions {
    int (*WSAIoctl)(TSocket socket, uint32_t code, const void* in, uint32_t inLength, void* out,
                    uint32_t outLength, uint32_t* bytesReturned, void* overlapped, void* completion) = nullptr;
    int (*WSAFDIsSet)(TSocket socket, fd_set* set) = nullptr;
    int (*closesocket)(TSocket socket) = nullptr;
    int (*ioctlsocket)(TSocket socket, uint32_t command, uint32_t* argument) = nullptr;
    int (*WSAGetLastError)() = nullptr;
    int (*WSAStartup)(uint16_t versionRequired, TWSAData* data) = nullptr;
    int (*WSACleanup)() = nullptr;
    int (*accept)(int, sockaddr*, socklen_t*) = nullptr;
    int (*bind)(int, const sockaddr*, socklen_t) = nullptr;
    int (*connect)(int, const sockaddr*, socklen_t) = nullptr;
    int (*getpeername)(int, sockaddr*, socklen_t*) = nullptr;
    int (*getsockname)(int, sockaddr*, socklen_t*) = nullptr;
    int (*getsockopt)(int, int, int, void*, socklen_t*) = nullptr;
    uint32_t (*htonl)(uint32_t) = nullptr;
    uint16_t (*htons)(uint16_t) = nullptr;
    in_addr_t (*inet_addr)(const char*) = nullptr;
    char* (*inet_ntoa)(in_addr) = nullptr;
    int (*listen)(int, int) = nullptr;
    uint32_t (*ntohl)(uint32_t) = nullptr;
    uint16_t (*ntohs)(uint16_t) = nullptr;
    ssize_t (*recv)(int, void*, size_t, int) = nullptr;
    ssize_t (*recvfrom)(int, void*, size_t, int, sockaddr*, socklen_t*) = nullptr;
    int (*select)(int, fd_set*, fd_set*, fd_set*, timeval*) = nullptr;
    ssize_t (*send)(int, const void*, size_t, int) = nullptr;
    ssize_t (*sendto)(int, const void*, size_t, int, const sockaddr*, socklen_t) = nullptr;
    int (*setsockopt)(int, int, int, const void*, socklen_t) = nullptr;
    int (*shutdown)(int, int) = nullptr;
    int (*socket)(int, int, int) = nullptr;
    hostent* (*gethostbyaddr)(const void*, socklen_t, int) = nullptr;
    hostent* (*gethostbyname)(const char*) = nullptr;
    protoent* (*getprotobyname)(const char*) = nullptr;
    protoent* (*getprotobynumber)(int) = nullptr;
    servent* (*getservbyname)(const char*, const char*) = nullptr;
    servent* (*getservbyport)(int, const char*) = nullptr;
    int (*gethostname)(char*, size_t) = nullptr;
    int (*getaddrinfo)(const char*, const char*, const addrinfo*, addrinfo**) = nullptr;
    void (*freeaddrinfo)(addrinfo*) = nullptr;
    int (*getnameinfo)(const sockaddr*, socklen_t, char*, socklen_t, char*, socklen_t, int) = nullptr;
};

// ---- module state ---------------------------------------------------------

std::mutex& SocketInterfaceLock();
// Successful LoadSocketInterface calls not yet released.
int SocketInterfaceUsers();
// The table; every pointer is empty while the interface is not loaded.
const TSocketFunctions& SocketFunctions();
// True when the main library provides getaddrinfo, freeaddrinfo and
// getnameinfo.
bool EnhancedApi();
// True when those three came from the IPv6 support library instead.
bool Ip6SupportApi();
// The module's start-up record (the block socket hands it to WSAStartup and
// exposes a copy as its WSAData property).
TWSAData& WSAData();

// An empty name means "ws2_32.dll". While loaded, further calls only count
// another user. False (count unchanged) when the library cannot be loaded.
bool LoadSocketInterface(const std::string& libraryName);
// Drops one user (never below 0); the last one unloads and empties the
// table. Always true.
bool ReleaseSocketInterface();

// Tests only: force the API selection, e.g. to run the legacy lookups while
// the interface is loaded with the full library. Changes nothing else.
void SetEnhancedApiForTesting(bool enhancedApi, bool ip6SupportApi);

// ---- address functions ----------------------------------------------------

// EnhancedApi, or (family is 23 and Ip6SupportApi).
bool UsesEnhancedApi(int family);

// Fills sin from host and port text. family 0 tries both kinds, IPv4 first
// when preferIP4. Returns 0 or a socket error number (10022 for a numeric
// port above 65535; 10093 when the interface is not loaded).
int FillSockAddr(TVarSin& sin, const std::string& host, const std::string& port, int family,
                 int protocol, int socketType, bool preferIP4);

// getaddrinfo of host/port with `hints` (a host addrinfo: ai_family is a
// host AF_ value), applying the wildcard and loopback rules; the first
// address goes into sin. Returns 0 or a socket error number (the
// getaddrinfo code translated).
int LookupAddress(const std::string& host, const std::string& port, const addrinfo& hints, TVarSin& sin);

// Numeric host text of sin ("" when it cannot be formed).
std::string SockAddrIP(const TVarSin& sin);
// Port of sin in host byte order.
int SockAddrPort(const TVarSin& sin);

// All addresses of name as numeric text, each once, of the asked family when
// it is 2 or 23. The list is cleared first and never left empty: "0.0.0.0"
// stands in when nothing resolves. (A plain vector, so this layer needs no
// list class; a caller keeping a platform::TStringList copies it over.)
void LookupNameToIPs(const std::string& name, int family, int protocol, int socketType,
                     std::vector<std::string>& list);

// Port number of a port text or service name; 0 when unknown.
int LookupPortNumber(const std::string& port, int family, int protocol, int socketType);

// Host name of an address text; the address text itself when there is none.
std::string LookupIPToName(const std::string& ip, int family, int protocol, int socketType);

}  // namespace lunaro::net

#include "platform/socket_errors.h"

#include <netdb.h>

#include <cerrno>

namespace lunaro::platform {

int SocketErrorFromErrno(int error) {
    switch (error) {
        case 0: return 0;
        case EINTR: return WSAEINTR;
        case EBADF: return WSAEBADF;
        case EACCES:
        case EPERM: return WSAEACCES;
        case EFAULT: return WSAEFAULT;
        case EINVAL: return WSAEINVAL;
        case EMFILE:
        case ENFILE: return WSAEMFILE;
        case EAGAIN: return WSAEWOULDBLOCK;
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK: return WSAEWOULDBLOCK;
#endif
        case EINPROGRESS: return WSAEINPROGRESS;
        case EALREADY: return WSAEALREADY;
        case ENOTSOCK: return WSAENOTSOCK;
        case EDESTADDRREQ: return WSAEDESTADDRREQ;
        case EMSGSIZE: return WSAEMSGSIZE;
        case EPROTOTYPE: return WSAEPROTOTYPE;
        case ENOPROTOOPT: return WSAENOPROTOOPT;
        case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
        case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
        case EOPNOTSUPP: return WSAEOPNOTSUPP;
        case EPFNOSUPPORT: return WSAEPFNOSUPPORT;
        case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
        case EADDRINUSE: return WSAEADDRINUSE;
        case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
        case ENETDOWN: return WSAENETDOWN;
        case ENETUNREACH: return WSAENETUNREACH;
        case ENETRESET: return WSAENETRESET;
        case ECONNABORTED: return WSAECONNABORTED;
        // Writing to a connection the peer has dropped is, to the layers
        // above, the same event as a reset.
        case EPIPE:
        case ECONNRESET: return WSAECONNRESET;
        case ENOBUFS:
        case ENOMEM: return WSAENOBUFS;
        case EISCONN: return WSAEISCONN;
        case ENOTCONN: return WSAENOTCONN;
        case ESHUTDOWN: return WSAESHUTDOWN;
        case ETOOMANYREFS: return WSAETOOMANYREFS;
        case ETIMEDOUT: return WSAETIMEDOUT;
        case ECONNREFUSED: return WSAECONNREFUSED;
        case ELOOP: return WSAELOOP;
        case ENAMETOOLONG: return WSAENAMETOOLONG;
        case EHOSTDOWN: return WSAEHOSTDOWN;
        case EHOSTUNREACH: return WSAEHOSTUNREACH;
        case ENOTEMPTY: return WSAENOTEMPTY;
        case EUSERS: return WSAEUSERS;
        case EDQUOT: return WSAEDQUOT;
        case ESTALE: return WSAESTALE;
        case EREMOTE: return WSAEREMOTE;
        default: return error;
    }
}

int SocketErrorFromAddrInfo(int gaiCode, int savedErrno) {
    switch (gaiCode) {
        case 0: return 0;
        case EAI_NONAME: return WSAHOST_NOT_FOUND;
        case EAI_AGAIN: return WSATRY_AGAIN;
        case EAI_FAIL: return WSANO_RECOVERY;
        case EAI_NODATA:
        case EAI_ADDRFAMILY: return WSANO_DATA;
        case EAI_FAMILY: return WSAEAFNOSUPPORT;
        case EAI_SOCKTYPE: return WSAESOCKTNOSUPPORT;
        case EAI_SERVICE: return WSATYPE_NOT_FOUND;
        case EAI_MEMORY: return WSAENOBUFS;
        case EAI_BADFLAGS:
        case EAI_OVERFLOW: return WSAEINVAL;
        case EAI_INTR: return WSAEINTR;
        case EAI_SYSTEM: {
            const int code = SocketErrorFromErrno(savedErrno);
            return code != 0 ? code : WSANO_RECOVERY;
        }
        default: return WSANO_RECOVERY;
    }
}

int SocketErrorFromHostError(int hostError, int savedErrno) {
    switch (hostError) {
        case HOST_NOT_FOUND: return WSAHOST_NOT_FOUND;
        case TRY_AGAIN: return WSATRY_AGAIN;
        case NO_RECOVERY: return WSANO_RECOVERY;
        case NO_DATA: return WSANO_DATA;
        case NETDB_INTERNAL: {
            const int code = SocketErrorFromErrno(savedErrno);
            return code != 0 ? code : WSANO_RECOVERY;
        }
        default: return WSAHOST_NOT_FOUND;
    }
}

int LastSocketError() { return SocketErrorFromErrno(errno); }

}  // namespace lunaro::platform

// TBlockSocket: life cycle, errors and status, options, and the connection
// calls (create, bind, connect, listen, accept, close).
#include "net/socket/block_socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include "net/corvane_error.h"
#include "net/binding/socket_error_text.h"
#include "net/binding/socket_module.h"
#include "net/socket/socket_options.h"
#include "net/text_utils.h"
#include "platform/socket_errors.h"

namespace lunaro::net {

namespace {

std::string FormatErrorMessage(int code, const std::string& description) {
    return "Corvane TCP/IP Socket error " + std::to_string(code) + ": " + description;
}

TSocketFamily FamilyOfAddress(int hostAddressFamily) {
    return hostAddressFamily == AF_INET6 ? TSocketFamily::SF_IP6 : TSocketFamily::SF_IP4;
}

}  // namespace

TBlockSocket::TBlockSocket() { EnsureSocketModule(); }

TBlockSocket::TBlockSocket(const std::string& /*Stub*/) : TBlockSocket() {}

TBlockSocket::~TBlockSocket() { CloseQuietly(); }

void TBlockSocket::CloseQuietly() {
    if (FSocket != INVALID_SOCKET) ::close(FSocket);
    FSocket = INVALID_SOCKET;
    FFDset.clear();
}

// ---- errors and status ------------------------------------------------------

void TBlockSocket::DoStatus(THookSocketReason Reason, const std::string& Value) {
    if (OnStatus) OnStatus(this, Reason, Value);
}

void TBlockSocket::ResetLastError() {
    FLastError = 0;
    FLastErrorDesc.clear();
    FErrorNoteCode = 0;
    FErrorNote.clear();
}

void TBlockSocket::SetLastError(int32_t Code, std::string Description) {
    FLastError = Code;
    FErrorNoteCode = Code;
    FErrorNote = std::move(Description);
}

int TBlockSocket::SockCheck(int SockResult) {
    ResetLastError();
    if (SockResult == SOCKET_ERROR) {
        FLastError = platform::LastSocketError();
        FLastErrorDesc = GetErrorDescEx();
    }
    return FLastError;
}

void TBlockSocket::ExceptCheck() {
    FLastErrorDesc = FLastError != 0 && FLastError == FErrorNoteCode ? FErrorNote : GetErrorDescEx();
    if (FLastError == 0 || FLastError == platform::WSAEWOULDBLOCK || FLastError == platform::WSAEINPROGRESS) return;
    DoStatus(THookSocketReason::HR_Error, std::to_string(FLastError) + "," + FLastErrorDesc);
    if (RaiseExcept) throw ECorvaneError(FormatErrorMessage(FLastError, FLastErrorDesc), FLastError, FLastErrorDesc);
}

std::string TBlockSocket::GetErrorDesc(int ErrorCode) { return SocketErrorText(ErrorCode); }

std::string TBlockSocket::GetErrorDescEx() { return GetErrorDesc(FLastError); }

// ---- properties -----------------------------------------------------------------

void TBlockSocket::SetFamily(TSocketFamily Value) {
    FFamily = Value;
    FFamilySave = Value;
}

void TBlockSocket::SetSocket(TSocket Value) {
    if (FSocket != INVALID_SOCKET && FSocket != Value) CloseQuietly();
    StopFlag = false;
    FRecvCounter = 0;
    FSendCounter = 0;
    ResetLastError();
    FBuffer.Clear();
    FPeerEndedData = false;
    FSocket = Value;
    FFDset.clear();
    if (FSocket == INVALID_SOCKET) return;
    FFDset.push_back(FSocket);
    GetSins();
    FIP6used = FLocalSin.AddressFamily == AF_INET6;
    FFamily = FamilyOfAddress(FLocalSin.AddressFamily);
}

TWSAData TBlockSocket::WSAData() const { return net::WSAData(); }

void TBlockSocket::SetMaxBandwidth(int32_t Value) {
    MaxSendBandwidth = Value;
    MaxRecvBandwidth = Value;
}

int32_t TBlockSocket::ReadIntOption(int Level, int Name, int32_t Fallback) const {
    int value = 0;
    socklen_t length = sizeof value;
    if (FSocket == INVALID_SOCKET || ::getsockopt(FSocket, Level, Name, &value, &length) != 0) return Fallback;
    return value;
}

int32_t TBlockSocket::SizeRecvBuffer() const { return ReadIntOption(SOL_SOCKET, SO_RCVBUF, 1024); }

int32_t TBlockSocket::SizeSendBuffer() const { return ReadIntOption(SOL_SOCKET, SO_SNDBUF, 1024); }

int32_t TBlockSocket::TTL() const {
    return FIP6used ? ReadIntOption(IPPROTO_IPV6, IPV6_UNICAST_HOPS, -1) : ReadIntOption(IPPROTO_IP, IP_TTL, -1);
}

// ---- options --------------------------------------------------------------------

void TBlockSocket::QueueOption(const TCorvaOption& Option) {
    if (FSocket == INVALID_SOCKET) {
        FDelayedOptions.push_back(Option);
    } else {
        ApplyOption(Option);
    }
}

void TBlockSocket::ApplyOption(const TCorvaOption& Option) {
    if (Option.Option == TCorvaOptionType::SOT_NonBlock) FNonBlockMode = Option.Enabled;
    SockCheck(ApplySocketOption(FSocket, Option, FIP6used));
    ExceptCheck();
}

void TBlockSocket::SetNonBlockMode(bool Value) { QueueOption({TCorvaOptionType::SOT_NonBlock, Value, 0}); }

void TBlockSocket::SetSizeRecvBuffer(int32_t Size) { QueueOption({TCorvaOptionType::SOT_RecvBuff, false, Size}); }

void TBlockSocket::SetSizeSendBuffer(int32_t Size) { QueueOption({TCorvaOptionType::SOT_SendBuff, false, Size}); }

void TBlockSocket::SetTTL(int32_t Value) { QueueOption({TCorvaOptionType::SOT_TTL, false, Value}); }

void TBlockSocket::SetLinger(bool Enable, int32_t Linger) {
    QueueOption({TCorvaOptionType::SOT_Linger, Enable, Linger});
}

void TBlockSocket::SetSendTimeout(int32_t Timeout) {
    QueueOption({TCorvaOptionType::SOT_SendTimeout, false, Timeout});
}

void TBlockSocket::SetRecvTimeout(int32_t Timeout) {
    QueueOption({TCorvaOptionType::SOT_RecvTimeout, false, Timeout});
}

void TBlockSocket::SetTimeout(int32_t Timeout) {
    SetSendTimeout(Timeout);
    SetRecvTimeout(Timeout);
}

void TBlockSocket::EnableReuse(bool Value) { QueueOption({TCorvaOptionType::SOT_Reuse, Value, 0}); }

// ---- creating and resolving ---------------------------------------------------

bool TBlockSocket::ResolveSin(const std::string& IP, const std::string& Port, TVarSin& Sin) {
    DoStatus(THookSocketReason::HR_ResolvingBegin, IP + ":" + Port);
    ResetLastError();
    TSocketFamily family = FFamily;
    if (FSocket == INVALID_SOCKET && FFamily == TSocketFamily::SF_Any) {
        if (IsIPv4Text(IP)) {
            family = TSocketFamily::SF_IP4;
        } else if (IsIPv6Text(IP)) {
            family = TSocketFamily::SF_IP6;
        }
    }
    FLastError = FillSockAddr(Sin, IP, Port, FamilyToAddressFamily(family), GetSocketProtocol(), GetSocketType(),
                              PreferIP4);
    DoStatus(THookSocketReason::HR_ResolvingEnd, SockAddrIP(Sin) + ":" + std::to_string(SockAddrPort(Sin)));
    return FLastError == 0;
}

void TBlockSocket::CreateSocketFor(const TVarSin& Sin) {
    StopFlag = false;
    FRecvCounter = 0;
    FSendCounter = 0;
    ResetLastError();
    FPeerEndedData = false;
    if (FSocket != INVALID_SOCKET) return;
    FBuffer.Clear();
    FIP6used = Sin.AddressFamily == AF_INET6;
    FSocket = ::socket(Sin.AddressFamily, GetSocketType() | SOCK_CLOEXEC, GetSocketProtocol());
    if (FSocket == INVALID_SOCKET) FLastError = platform::LastSocketError();
    FFDset.clear();
    if (FSocket != INVALID_SOCKET) {
        FFDset.push_back(FSocket);
        // Later resolves on this socket must give addresses of its own kind.
        FFamily = FamilyOfAddress(Sin.AddressFamily);
    }
    ExceptCheck();
    DoStatus(THookSocketReason::HR_SocketCreate, FIP6used ? "IPv6" : "IPv4");
    if (FSocket == INVALID_SOCKET) return;
    std::vector<TCorvaOption> options;
    options.swap(FDelayedOptions);
    for (const TCorvaOption& option : options) ApplyOption(option);
    if (OnCreateSocket) OnCreateSocket(this);
}

void TBlockSocket::CreateSocket() {
    if (FFamily == TSocketFamily::SF_Any || FSocket != INVALID_SOCKET) return;
    TVarSin sin{};
    sin.AddressFamily = FFamily == TSocketFamily::SF_IP6 ? AF_INET6 : AF_INET;
    CreateSocketFor(sin);
}

void TBlockSocket::CreateSocketByName(const std::string& Value) {
    TVarSin sin{};
    if (ResolveSin(Value, "0", sin)) CreateSocketFor(sin);
}

// ---- connection -----------------------------------------------------------------

void TBlockSocket::Bind(const std::string& IP, const std::string& Port) {
    ResetLastError();
    // The defaults mean "any local address": nothing to do before connecting.
    if (FSocket == INVALID_SOCKET && FFamily == TSocketFamily::SF_Any && IP == "0.0.0.0" && Port == "0") return;
    TVarSin sin{};
    if (ResolveSin(IP, Port, sin)) {
        if (FSocket == INVALID_SOCKET) CreateSocketFor(sin);
        if (FLastError == 0) {
            SockCheck(::bind(FSocket, sin.Address(), sin.Length()));
            GetSinLocal();
            FBuffer.Clear();
        }
    }
    ExceptCheck();
    DoStatus(THookSocketReason::HR_Bind, IP + ":" + Port);
}

void TBlockSocket::Connect(const std::string& IP, const std::string& Port) {
    TVarSin sin{};
    if (ResolveSin(IP, Port, sin)) {
        if (FSocket == INVALID_SOCKET) CreateSocketFor(sin);
        if (FLastError == 0) {
            if (ConnectionTimeout <= 0) {
                SockCheck(::connect(FSocket, sin.Address(), sin.Length()));
            } else {
                const bool savedMode = FNonBlockMode;
                SetNonBlockMode(true);
                SockCheck(::connect(FSocket, sin.Address(), sin.Length()));
                if (FLastError == platform::WSAEWOULDBLOCK || FLastError == platform::WSAEINPROGRESS) {
                    if (CanWrite(ConnectionTimeout)) {
                        FLastError = PendingConnectError();
                    } else if (FLastError == 0) {
                        FLastError = platform::WSAETIMEDOUT;
                    }
                }
                const int32_t error = FLastError;
                SetNonBlockMode(savedMode);
                FLastError = error;
            }
            if (FLastError == 0) GetSins();
        }
        FBuffer.Clear();
        FLastCR = false;
        FLastLF = false;
    }
    ExceptCheck();
    DoStatus(THookSocketReason::HR_Connect, IP + ":" + Port);
}

int32_t TBlockSocket::PendingConnectError() {
    // A finished connect makes the socket writable whether it worked or not;
    // the outcome is in the socket's pending error.
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(FSocket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return platform::LastSocketError();
    return platform::SocketErrorFromErrno(error);
}

void TBlockSocket::Listen() {
    SockCheck(::listen(FSocket, SOMAXCONN));
    GetSins();
    ExceptCheck();
    DoStatus(THookSocketReason::HR_Listen, "");
}

TSocket TBlockSocket::Accept() {
    const TSocket accepted = ::accept4(FSocket, nullptr, nullptr, SOCK_CLOEXEC);
    SockCheck(accepted);
    ExceptCheck();
    DoStatus(THookSocketReason::HR_Accept, "");
    return accepted;
}

void TBlockSocket::AbortSocket() {
    CloseQuietly();
    FDelayedOptions.clear();
    FFamily = FFamilySave;
    DoStatus(THookSocketReason::HR_SocketClose, "");
}

void TBlockSocket::CloseSocket() { AbortSocket(); }

}  // namespace lunaro::net

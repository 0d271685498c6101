#pragma once
// TBlockSocket: a blocking socket with its own receive line buffer,
// per-call timeouts, and errors kept in the object (LastError, an
// HR_Error report) rather than raised, unless RaiseExcept asks for an
// ECorvaneError. Owners follow every step through OnStatus and see every
// block of bytes through OnMonitor.
//
// Errors are socket error numbers (platform/socket_errors.h). Codes the
// socket sets itself: 10053 stopped through StopFlag, 10054 the peer closed,
// 10055 MaxLineLength exceeded, 10060 a wait or timeout budget ran out, or
// a transfer limit was broken (LastErrorDesc then names the limit).
// Timeouts are milliseconds; -1 waits without limit.
//
// One thread uses a socket at a time. StopFlag is the one cross-thread
// entry: another thread or a hook may set it; the next transfer or wait
// then ends with 10053.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/socket/socket_hooks.h"
#include "net/binding/socket_interface.h"
#include "net/socket/receive_buffer.h"
#include "net/socket/transfer_limits.h"
#include "net/socket/transfer_meter.h"
#include "platform/stream.h"

namespace lunaro::net {

// The sockets a wait watches.
using TFDSet = std::vector<TSocket>;

class TBlockSocket {
public:
    TBlockSocket();
    // The text is not used; kept for owners that name an alternative stack.
    explicit TBlockSocket(const std::string& Stub);
    // Closes the OS socket quietly: no hook runs on an object being destroyed.
    virtual ~TBlockSocket();
    TBlockSocket(const TBlockSocket&) = delete;
    TBlockSocket& operator=(const TBlockSocket&) = delete;

    // ---- hooks --------------------------------------------------------------
    THookSocketStatus OnStatus;
    THookDataFilter OnReadFilter;
    THookCreateSocket OnCreateSocket;
    THookMonitor OnMonitor;
    THookHeartbeat OnHeartbeat;  // while waiting, every HeartbeatRate ms

    // ---- plain settings ---------------------------------------------------
    int32_t Tag = 0;
    bool RaiseExcept = false;
    int32_t MaxLineLength = 0;       // 0: unlimited; else the longest line RecvTerminated accepts
    int32_t MaxSendBandwidth = 0;    // bytes per second, 0: unlimited
    int32_t MaxRecvBandwidth = 0;
    bool ConvertLineEnd = false;     // RecvString takes CR, LF, CR LF or LF CR as a line end
    bool PreferIP4 = true;
    bool InterPacketTimeout = true;  // false: a timeout is the budget of the whole call
    int32_t SendMaxChunk = 65536;    // largest piece per send; piece size of RecvStreamSize
    std::atomic<bool> StopFlag{false};
    int32_t NonblockSendTimeout = 15000;
    int32_t HeartbeatRate = 0;       // ms, 0: no heartbeat
    int32_t ConnectionTimeout = 0;   // ms, 0: the operating system's connect timeout
    void* Owner = nullptr;           // the client that owns the socket

    // ---- properties -------------------------------------------------------
    const TVarSin& LocalSin() const { return FLocalSin; }
    const TVarSin& RemoteSin() const { return FRemoteSin; }
    std::string LineBuffer() const { return std::string(FBuffer.View()); }
    void SetLineBuffer(const std::string& Value) { FBuffer.Assign(Value); }
    bool NonBlockMode() const { return FNonBlockMode; }
    void SetNonBlockMode(bool Value);
    void SetMaxBandwidth(int32_t Value);
    TSocketFamily Family() const { return FFamily; }
    virtual void SetFamily(TSocketFamily Value);
    bool IP6used() const { return FIP6used; }
    const TFDSet& FDset() const { return FFDset; }
    int64_t RecvCounter() const { return FRecvCounter; }
    int64_t SendCounter() const { return FSendCounter; }
    TSocket Socket() const { return FSocket; }
    // Adopts an open OS socket (one Accept returned); a socket this object
    // still held is closed first.
    virtual void SetSocket(TSocket Value);
    int32_t LastError() const { return FLastError; }
    // True once a receive met the orderly end of the peer's data (its close).
    // A reset leaves it false: a 10054 with this false is a cut connection.
    // Cleared when the next connection is made.
    bool PeerEndedData() const { return FPeerEndedData; }
    const std::string& LastErrorDesc() const { return FLastErrorDesc; }
    TWSAData WSAData() const;
    // Read from the OS socket (1024 when that fails); writing queues an option.
    int32_t SizeRecvBuffer() const;
    void SetSizeRecvBuffer(int32_t Size);
    int32_t SizeSendBuffer() const;
    void SetSizeSendBuffer(int32_t Size);
    // Read from the OS socket (-1 when that fails); writing queues an option.
    int32_t TTL() const;
    void SetTTL(int32_t Value);

    // ---- options ----------------------------------------------------------
    // Without a socket an option waits in a queue and is applied, oldest
    // first, when the socket is created; with one it is applied at once.
    void SetLinger(bool Enable, int32_t Linger);
    void SetSendTimeout(int32_t Timeout);
    void SetRecvTimeout(int32_t Timeout);
    void SetTimeout(int32_t Timeout);
    void EnableReuse(bool Value);

    // ---- connection -------------------------------------------------------
    void CreateSocket();
    void CreateSocketByName(const std::string& Value);
    void Bind(const std::string& IP, const std::string& Port);
    virtual void Connect(const std::string& IP, const std::string& Port);
    virtual void Listen();
    // The accepted OS socket, or INVALID_SOCKET.
    virtual TSocket Accept();
    virtual void CloseSocket();
    virtual void AbortSocket();

    // ---- sending: each returns the bytes sent ---------------------------------
    virtual int SendBuffer(const void* Buffer, int Length);
    virtual void SendByte(uint8_t Data);
    virtual void SendString(const std::string& Data);
    virtual void SendInteger(int32_t Data);                // 4 bytes, least significant first
    virtual void SendBlock(const std::string& Data);       // 4-byte length, then the bytes
    virtual void SendStreamRaw(platform::TStream& Stream);   // the rest of the stream
    virtual void SendStream(platform::TStream& Stream);      // 4-byte length (LSB first), then the data
    virtual void SendStreamIndy(platform::TStream& Stream);  // the same, length MSB first
    virtual int SendBufferTo(const void* Buffer, int Length);  // a datagram to RemoteSin

    // ---- receiving ----------------------------------------------------------
    // One OS receive: the count received, 0 when nothing came (LastError tells why).
    virtual int RecvBuffer(void* Buffer, int Length);
    // Exactly Len bytes unless an error ends the call first; the count copied.
    virtual int RecvBufferEx(void* Buffer, int Len, int Timeout);
    // Len bytes, or "" on any error (bytes received so far are dropped).
    virtual std::string RecvBufferStr(int Len, int Timeout);
    virtual uint8_t RecvByte(int Timeout);
    virtual int32_t RecvInteger(int Timeout);
    // A line ended by CR LF (or, with ConvertLineEnd, by any line end); "" on error.
    virtual std::string RecvString(int Timeout);
    virtual std::string RecvTerminated(int Timeout, const std::string& Terminator);
    // Whatever is available: the line buffer, else what the OS holds (waiting for it).
    virtual std::string RecvPacket(int Timeout);
    virtual std::string RecvBlock(int Timeout);
    // Packets until an error (the end of the data shows as 10054 or 10060).
    virtual void RecvStreamRaw(platform::TStream& Stream, int Timeout);
    // Size bytes in pieces of SendMaxChunk; each piece is written once complete.
    void RecvStreamSize(platform::TStream& Stream, int Timeout, int64_t Size);
    virtual void RecvStream(platform::TStream& Stream, int Timeout);
    virtual void RecvStreamIndy(platform::TStream& Stream, int Timeout);
    virtual int PeekBuffer(void* Buffer, int Length);
    virtual uint8_t PeekByte(int Timeout);
    virtual int RecvBufferFrom(void* Buffer, int Length);  // a datagram; RemoteSin := its sender

    // Limits for the transfer that starts now; every receive checks them,
    // while it waits too, and fails with 10060 once one is broken. All
    // zeros (the default) turn them off.
    void SetTransferLimits(const TTransferLimits& Limits);

    // ---- waiting and state ------------------------------------------------------
    virtual bool CanRead(int Timeout);
    virtual bool CanReadEx(int Timeout);  // true at once when the line buffer holds bytes
    virtual bool CanWrite(int Timeout);
    // Bytes the OS holds for reading, at most 65536.
    virtual int WaitingData();
    int WaitingDataEx();
    // Reads and drops what is buffered or arriving, then clears LastError.
    void Purge();
    // The sockets of List that have data, in CanReadList; true when any has.
    static bool GroupCanRead(const std::vector<TBlockSocket*>& List, int Timeout,
                             std::vector<TBlockSocket*>& CanReadList);

    // ---- addresses ----------------------------------------------------------
    void GetSinLocal();
    void GetSinRemote();
    void GetSins();
    virtual std::string GetLocalSinIP();
    virtual std::string GetRemoteSinIP();
    virtual int GetLocalSinPort();
    virtual int GetRemoteSinPort();
    void SetRemoteSin(const std::string& IP, const std::string& Port);
    std::string LocalName();
    void ResolveNameToIP(const std::string& Name, std::vector<std::string>& IPList);
    std::string ResolveName(const std::string& Name);
    int ResolvePort(const std::string& Port);
    std::string ResolveIPToName(const std::string& IP);

    // ---- errors ---------------------------------------------------------------
    void ResetLastError();
    // Records the platform's error when SockResult is -1; returns LastError.
    virtual int SockCheck(int SockResult);
    // Describes LastError; reports HR_Error and, with RaiseExcept, raises.
    void ExceptCheck();
    static std::string GetErrorDesc(int ErrorCode);
    virtual std::string GetErrorDescEx();

    virtual int GetSocketType() { return 0; }
    virtual int GetSocketProtocol() { return 0; }

protected:
    void DoStatus(THookSocketReason Reason, const std::string& Value);
    void SetLastError(int32_t Code) { FLastError = Code; }
    // Code, described by Description rather than by the standard text.
    void SetLastError(int32_t Code, std::string Description);
    // Heartbeat, then StopFlag: true (with 10053 recorded) when the call must stop.
    bool CheckStop();
    void DoHeartbeat();
    void LimitRate(int Length, int32_t MaxB, uint32_t& Next);

    // The byte path under the socket: the OS here; descendants may route it
    // through another layer. The count moved, or -1 with LastError set;
    // TransportRecv gives 0 when the peer closed.
    virtual int TransportRecv(void* Buffer, int Length);
    virtual int TransportSend(const void* Buffer, int Length);

    virtual void SendStreamBody(platform::TStream& Stream, bool WithSize, bool Indy);
    virtual bool WaitReadable(int Timeout);
    virtual bool WaitWritable(int Timeout);

    // Resolves IP and Port into Sin with HR_ResolvingBegin/End; true on success.
    bool ResolveSin(const std::string& IP, const std::string& Port, TVarSin& Sin);
    void CreateSocketFor(const TVarSin& Sin);
    void QueueOption(const TCorvaOption& Option);
    void ApplyOption(const TCorvaOption& Option);

private:
    // Waits for data as a receive does: the count the OS holds, or 0 with
    // LastError set (10054 the peer closed, 10060 nothing came in time).
    int AwaitPacketSize(int Timeout);
    // Readable with nothing to read is the end of the data or a reset; a
    // peek tells which without taking anything. 1 when data came after all.
    int ProbeEndOfData();
    // Waits as CanRead does, but in short rounds while transfer limits are
    // set, so that a silent peer breaks them too.
    bool AwaitReadable(int Timeout);
    // True (with 10060 and the limit's description recorded) once a
    // transfer limit is broken.
    bool BreaksTransferLimits();
    // Receives count bytes into the back of the line buffer.
    void ReceiveIntoBuffer(int Count);
    // After a line that ended in a lone CR (LF), drops the partner byte that
    // starts the next packet; true when Bytes[0] is to be dropped.
    bool TakeLineEndCarry(const char* Bytes, std::size_t Count);
    void CarryIntoBufferFront();
    // One RecvPacket worth of data delivered into Buffer (at most Room bytes;
    // the rest stays in the line buffer); the count delivered.
    int TakePacketInto(char* Buffer, int Room, int Timeout);
    // RecvBufferEx's loop: packets until Len bytes are placed or an error
    // ends it. Place gives where the next bytes go and may shrink Room.
    int ReceiveExactly(int Len, int Timeout, const std::function<char*(int Copied, int& Room)>& Place);
    // Poll over FDset for events; true when a socket is ready.
    bool WaitFor(short Events, int Timeout);
    bool WaitWithHeartbeat(int Timeout, bool Writing);
    int32_t ReadIntOption(int Level, int Name, int32_t Fallback) const;
    int32_t PendingConnectError();
    void CloseQuietly();

    TVarSin FLocalSin{};
    TVarSin FRemoteSin{};
    TReceiveBuffer FBuffer;
    bool FNonBlockMode = false;
    uint32_t FNextSend = 0;
    uint32_t FNextRecv = 0;
    bool FLastCR = false;
    bool FLastLF = false;
    TSocketFamily FFamily = TSocketFamily::SF_Any;
    TSocketFamily FFamilySave = TSocketFamily::SF_Any;
    bool FIP6used = false;
    std::vector<TCorvaOption> FDelayedOptions;
    TFDSet FFDset;
    int64_t FRecvCounter = 0;
    int64_t FSendCounter = 0;
    TSocket FSocket = INVALID_SOCKET;
    int32_t FLastError = 0;
    std::string FLastErrorDesc;
    // A description that replaces the standard text of FErrorNoteCode.
    int32_t FErrorNoteCode = 0;
    std::string FErrorNote;
    bool FPeerEndedData = false;
    TTransferMeter FMeter;
};

}  // namespace lunaro::net

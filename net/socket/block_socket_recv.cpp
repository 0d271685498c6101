// TBlockSocket: receiving. Everything goes through the line buffer's model
// of a "packet": what the line buffer holds, else one OS read sized by what
// the OS already has. Bytes beyond what a call wants stay in the line buffer.
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "net/socket/block_socket.h"
#include "net/text_utils.h"
#include "platform/socket_errors.h"

namespace lunaro::net {

namespace {

// RecvBufferStr grows its result with the bytes that arrive, so a length a
// peer announces costs memory only once the bytes are really there.
constexpr int kStringGrowth = 65536;

// While transfer limits are set a wait is cut into rounds this long, so a
// peer that sends nothing at all breaks them at most one round late.
constexpr int kLimitCheckRoundMs = 250;

uint32_t DecodeInteger(const std::string& bytes, bool mostSignificantFirst) {
    uint32_t value = 0;
    for (int i = 0; i < 4 && i < static_cast<int>(bytes.size()); ++i) {
        const int index = mostSignificantFirst ? i : 3 - i;
        value = (value << 8) | static_cast<uint8_t>(bytes[index]);
    }
    return value;
}

}  // namespace

int TBlockSocket::TransportRecv(void* Buffer, int Length) {
    const ssize_t received = ::recv(FSocket, Buffer, static_cast<std::size_t>(Length), 0);
    SockCheck(received < 0 ? SOCKET_ERROR : 0);
    return received < 0 ? -1 : static_cast<int>(received);
}

int TBlockSocket::RecvBuffer(void* Buffer, int Length) {
    if (CheckStop()) return 0;
    LimitRate(Length, MaxRecvBandwidth, FNextRecv);
    int count = 0;
    if (Length > 0) {
        count = TransportRecv(Buffer, Length);
        if (count == 0) {
            FLastError = platform::WSAECONNRESET;  // the peer closed
            FPeerEndedData = true;
        }
    } else {
        ResetLastError();
    }
    ExceptCheck();
    if (count <= 0) return 0;
    FRecvCounter += count;
    if (FMeter.Active()) FMeter.Count(count, TickNow());
    DoStatus(THookSocketReason::HR_ReadCount, std::to_string(count));
    if (OnMonitor) OnMonitor(this, false, Buffer, count);
    if (OnReadFilter) {
        std::string text(static_cast<const char*>(Buffer), static_cast<std::size_t>(count));
        OnReadFilter(this, text);
        count = static_cast<int>(std::min<std::size_t>(text.size(), static_cast<std::size_t>(count)));
        std::memcpy(Buffer, text.data(), static_cast<std::size_t>(count));
    }
    return count;
}

// No processor yield before asking how much is waiting: on a busy machine it
// hands the time slice away once per packet and cost a fifth of the download
// throughput, while the wait below already blocks when nothing has arrived.
int TBlockSocket::AwaitPacketSize(int Timeout) {
    if (BreaksTransferLimits()) return 0;
    int count = WaitingData();
    if (count > 0) return count;
    if (AwaitReadable(Timeout)) {
        count = WaitingData();
        if (count == 0) count = ProbeEndOfData();
    } else if (FLastError == 0) {
        FLastError = platform::WSAETIMEDOUT;
    }
    return FLastError == 0 ? count : 0;
}

int TBlockSocket::ProbeEndOfData() {
    char byte = 0;
    const ssize_t peeked = ::recv(FSocket, &byte, 1, MSG_PEEK);
    if (peeked > 0) return 1;
    if (peeked < 0) {
        SockCheck(SOCKET_ERROR);
        if (FLastError == 0) FLastError = platform::WSAECONNRESET;
        return 0;
    }
    FLastError = platform::WSAECONNRESET;
    FPeerEndedData = true;
    return 0;
}

void TBlockSocket::SetTransferLimits(const TTransferLimits& Limits) { FMeter.Arm(Limits, TickNow()); }

bool TBlockSocket::BreaksTransferLimits() {
    if (!FMeter.Active()) return false;
    std::string breach = FMeter.Breach(TickNow());
    if (breach.empty()) return false;
    SetLastError(platform::WSAETIMEDOUT, std::move(breach));
    return true;
}

bool TBlockSocket::AwaitReadable(int Timeout) {
    if (!FMeter.Active()) return CanRead(Timeout);
    const uint32_t started = TickNow();
    for (;;) {
        int round = kLimitCheckRoundMs;
        if (Timeout >= 0) {
            const int64_t left = int64_t{Timeout} - TickElapsed(started, TickNow());
            if (left <= 0) return false;
            round = static_cast<int>(std::min<int64_t>(round, left));
        }
        if (CanRead(round)) return true;
        if (FLastError != 0 || BreaksTransferLimits()) return false;
    }
}

bool TBlockSocket::TakeLineEndCarry(const char* Bytes, std::size_t Count) {
    if (!ConvertLineEnd || Count == 0) return false;
    const bool drop = (FLastCR && Bytes[0] == '\n') || (FLastLF && Bytes[0] == '\r');
    FLastCR = false;
    FLastLF = false;
    return drop;
}

void TBlockSocket::ReceiveIntoBuffer(int Count) {
    char* tail = FBuffer.Reserve(static_cast<std::size_t>(Count));
    int received = RecvBuffer(tail, Count);
    if (received <= 0) return;
    if (TakeLineEndCarry(tail, static_cast<std::size_t>(received))) {
        std::memmove(tail, tail + 1, static_cast<std::size_t>(--received));
    }
    FBuffer.Commit(static_cast<std::size_t>(received));
}

void TBlockSocket::CarryIntoBufferFront() {
    if (TakeLineEndCarry(FBuffer.View().data(), FBuffer.Size())) FBuffer.Consume(1);
}

std::string TBlockSocket::RecvPacket(int Timeout) {
    ResetLastError();
    if (FBuffer.Empty()) {
        const int count = AwaitPacketSize(Timeout);
        if (count > 0) ReceiveIntoBuffer(count);
    } else {
        CarryIntoBufferFront();
    }
    std::string packet = FBuffer.Take(FBuffer.Size());
    ExceptCheck();
    return packet;
}

int TBlockSocket::TakePacketInto(char* Buffer, int Room, int Timeout) {
    ResetLastError();
    auto fromLineBuffer = [&] {
        const std::size_t count = std::min(FBuffer.Size(), static_cast<std::size_t>(Room));
        std::memcpy(Buffer, FBuffer.View().data(), count);
        FBuffer.Consume(count);
        return static_cast<int>(count);
    };
    int delivered = 0;
    if (!FBuffer.Empty()) {
        CarryIntoBufferFront();
        delivered = fromLineBuffer();
    } else if (const int count = AwaitPacketSize(Timeout); count > 0 && count <= Room) {
        // The whole packet fits: straight into the caller's buffer, no copy.
        delivered = RecvBuffer(Buffer, count);
        if (TakeLineEndCarry(Buffer, static_cast<std::size_t>(delivered))) {
            std::memmove(Buffer, Buffer + 1, static_cast<std::size_t>(--delivered));
        }
    } else if (count > 0) {
        ReceiveIntoBuffer(count);
        delivered = fromLineBuffer();
    }
    ExceptCheck();
    return delivered;
}

int TBlockSocket::ReceiveExactly(int Len, int Timeout, const std::function<char*(int Copied, int& Room)>& Place) {
    ResetLastError();
    if (Len <= 0) return 0;
    int copied = 0;
    int budget = Timeout;
    for (;;) {
        const uint32_t started = TickNow();
        int room = Len - copied;
        char* target = Place(copied, room);
        copied += TakePacketInto(target, room, budget);
        if (FLastError != 0 || copied >= Len) break;
        // A negative timeout waits without limit, so it has no budget to spend.
        if (!InterPacketTimeout && budget >= 0) {
            budget = static_cast<int>(std::max<int64_t>(0, int64_t{budget} - TickElapsed(started, TickNow())));
            if (budget == 0) {
                FLastError = platform::WSAETIMEDOUT;
                ExceptCheck();
                break;
            }
        }
    }
    return copied;
}

int TBlockSocket::RecvBufferEx(void* Buffer, int Len, int Timeout) {
    char* bytes = static_cast<char*>(Buffer);
    return ReceiveExactly(Len, Timeout, [bytes](int copied, int&) { return bytes + copied; });
}

std::string TBlockSocket::RecvBufferStr(int Len, int Timeout) {
    std::string result;
    const int copied = ReceiveExactly(Len, Timeout, [&result](int copied, int& room) {
        room = std::min(room, std::max(copied, kStringGrowth));
        result.resize(static_cast<std::size_t>(copied) + static_cast<std::size_t>(room));
        return result.data() + copied;
    });
    if (FLastError != 0) return {};
    result.resize(static_cast<std::size_t>(copied));
    return result;
}

std::string TBlockSocket::RecvTerminated(int Timeout, const std::string& Terminator) {
    ResetLastError();
    if (Terminator.empty()) return {};
    const bool lineEndMode = ConvertLineEnd && Terminator == "\r\n";
    std::size_t scanned = 0;  // the work text before this holds no terminator
    std::size_t found = std::string::npos;
    std::size_t breakLength = 0;
    std::string lineBreak;
    bool firstPass = true;
    int budget = Timeout;
    for (;;) {
        const uint32_t started = TickNow();
        // The work text is the line buffer itself: each packet lands at its end.
        ResetLastError();
        if (firstPass && !FBuffer.Empty()) {
            CarryIntoBufferFront();
        } else if (const int count = AwaitPacketSize(Timeout < 0 ? Timeout : budget); count > 0) {
            ReceiveIntoBuffer(count);
        }
        ExceptCheck();
        firstPass = false;
        if (FLastError != 0) break;

        const std::string_view work = FBuffer.View();
        if (lineEndMode) {
            found = work.find_first_of("\r\n", scanned);
            if (found != std::string_view::npos) {
                FindLineBreak(std::string(work.substr(found, 2)), lineBreak);
                breakLength = lineBreak.size();
            }
            scanned = work.size();
        } else {
            found = work.find(Terminator, scanned);
            scanned = work.size() - std::min(work.size(), Terminator.size() - 1);
            breakLength = Terminator.size();
        }
        // A line that fits is handed out whatever else came with it; without
        // one, the work text may not outgrow the limit.
        const std::size_t length = found != std::string_view::npos ? found : work.size();
        if (MaxLineLength > 0 && length > static_cast<std::size_t>(MaxLineLength)) {
            found = std::string_view::npos;
            FLastError = platform::WSAENOBUFS;
            break;
        }
        if (found != std::string_view::npos) break;
        if (!InterPacketTimeout && Timeout >= 0) {
            budget = static_cast<int>(std::max<int64_t>(0, int64_t{budget} - TickElapsed(started, TickNow())));
            if (budget == 0) {
                FLastError = platform::WSAETIMEDOUT;
                break;
            }
        }
    }
    std::string line;
    if (found != std::string_view::npos) {
        line = FBuffer.Take(found);
        FBuffer.Consume(breakLength);
        if (lineEndMode) {
            // A lone CR or LF may be the first half of a pair whose second
            // half starts the next packet.
            FLastCR = lineBreak == "\r";
            FLastLF = lineBreak == "\n";
        }
    }
    ExceptCheck();
    return line;
}

std::string TBlockSocket::RecvString(int Timeout) {
    std::string line = RecvTerminated(Timeout, "\r\n");
    return FLastError != 0 ? std::string() : line;
}

uint8_t TBlockSocket::RecvByte(int Timeout) {
    char byte = 0;
    if (ReceiveExactly(1, Timeout, [&byte](int, int&) { return &byte; }) != 1 || FLastError != 0) return 0;
    return static_cast<uint8_t>(byte);
}

int32_t TBlockSocket::RecvInteger(int Timeout) {
    const std::string bytes = RecvBufferStr(4, Timeout);
    return FLastError != 0 ? 0 : static_cast<int32_t>(DecodeInteger(bytes, false));
}

std::string TBlockSocket::RecvBlock(int Timeout) {
    const int32_t length = RecvInteger(Timeout);
    return FLastError != 0 ? std::string() : RecvBufferStr(length, Timeout);
}

void TBlockSocket::RecvStreamRaw(platform::TStream& Stream, int Timeout) {
    for (;;) {
        const std::string packet = RecvPacket(Timeout);
        if (FLastError != 0) break;
        WriteTextToStream(Stream, packet);
    }
}

void TBlockSocket::RecvStreamSize(platform::TStream& Stream, int Timeout, int64_t Size) {
    ResetLastError();
    const int chunk = std::max(SendMaxChunk, 1);
    std::vector<char> piece(static_cast<std::size_t>(std::clamp<int64_t>(Size, 0, chunk)));
    for (int64_t left = Size; left > 0;) {
        const int wanted = static_cast<int>(std::min<int64_t>(chunk, left));
        // A piece cut short by an error is dropped, never written half.
        if (RecvBufferEx(piece.data(), wanted, Timeout) != wanted || FLastError != 0) break;
        Stream.WriteBuffer(piece.data(), wanted);
        left -= wanted;
    }
}

void TBlockSocket::RecvStream(platform::TStream& Stream, int Timeout) {
    const int32_t size = RecvInteger(Timeout);
    if (FLastError == 0) RecvStreamSize(Stream, Timeout, size);
}

void TBlockSocket::RecvStreamIndy(platform::TStream& Stream, int Timeout) {
    const std::string bytes = RecvBufferStr(4, Timeout);
    if (FLastError == 0) RecvStreamSize(Stream, Timeout, static_cast<int32_t>(DecodeInteger(bytes, true)));
}

int TBlockSocket::PeekBuffer(void* Buffer, int Length) {
    const ssize_t peeked = ::recv(FSocket, Buffer, static_cast<std::size_t>(std::max(Length, 0)), MSG_PEEK);
    SockCheck(peeked < 0 ? SOCKET_ERROR : 0);
    ExceptCheck();
    return peeked < 0 ? 0 : static_cast<int>(peeked);
}

uint8_t TBlockSocket::PeekByte(int Timeout) {
    uint8_t byte = 0;
    if (CanRead(Timeout)) {
        if (PeekBuffer(&byte, 1) == 0 && FLastError == 0) FLastError = platform::WSAECONNRESET;
    } else if (FLastError == 0) {
        FLastError = platform::WSAETIMEDOUT;
    }
    ExceptCheck();
    return byte;
}

int TBlockSocket::RecvBufferFrom(void* Buffer, int Length) {
    if (CheckStop()) return 0;
    Length = std::max(Length, 0);
    LimitRate(Length, MaxRecvBandwidth, FNextRecv);
    socklen_t length = sizeof FRemoteSin;
    const ssize_t received =
        ::recvfrom(FSocket, Buffer, static_cast<std::size_t>(Length), 0, FRemoteSin.Address(), &length);
    SockCheck(received < 0 ? SOCKET_ERROR : 0);
    ExceptCheck();
    const int count = received < 0 ? 0 : static_cast<int>(received);
    FRecvCounter += count;
    DoStatus(THookSocketReason::HR_ReadCount, std::to_string(count));
    if (count > 0 && OnMonitor) OnMonitor(this, false, Buffer, count);
    return count;
}

}  // namespace lunaro::net

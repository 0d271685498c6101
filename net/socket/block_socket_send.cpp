// TBlockSocket: sending buffers, texts, integers, blocks and streams.
#include <sys/socket.h>

#include <algorithm>
#include <climits>

#include "net/socket/block_socket.h"
#include "net/text_utils.h"
#include "platform/socket_errors.h"

namespace lunaro::net {

namespace {

std::string EncodeInteger(uint32_t value, bool mostSignificantFirst) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        const int index = mostSignificantFirst ? 3 - i : i;
        bytes[index] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

}  // namespace

int TBlockSocket::TransportSend(const void* Buffer, int Length) {
    const ssize_t sent = ::send(FSocket, Buffer, static_cast<std::size_t>(Length), MSG_NOSIGNAL);
    SockCheck(sent < 0 ? SOCKET_ERROR : 0);
    return sent < 0 ? -1 : static_cast<int>(sent);
}

int TBlockSocket::SendBuffer(const void* Buffer, int Length) {
    if (CheckStop()) return 0;
    ResetLastError();
    Length = std::max(Length, 0);
    if (OnMonitor) OnMonitor(this, true, Buffer, Length);
    const char* bytes = static_cast<const char*>(Buffer);
    const int chunk = std::max(SendMaxChunk, 1);
    int total = 0;
    while (total < Length) {
        const int piece = std::min(Length - total, chunk);
        LimitRate(piece, MaxSendBandwidth, FNextSend);
        int sent = TransportSend(bytes + total, piece);
        if (sent < 0 && FLastError == platform::WSAEWOULDBLOCK) {
            if (CanWrite(NonblockSendTimeout)) {
                sent = TransportSend(bytes + total, piece);
            } else if (FLastError == 0) {
                FLastError = platform::WSAETIMEDOUT;
            }
        }
        if (sent <= 0 || FLastError != 0) {
            // A layer that takes nothing without an error would spin here forever.
            if (FLastError == 0) FLastError = platform::WSAECONNRESET;
            break;
        }
        total += sent;
        FSendCounter += sent;
        DoStatus(THookSocketReason::HR_WriteCount, std::to_string(sent));
    }
    ExceptCheck();
    return total;
}

void TBlockSocket::SendByte(uint8_t Data) { SendBuffer(&Data, 1); }

void TBlockSocket::SendString(const std::string& Data) {
    std::size_t offset = 0;
    do {
        const std::size_t piece = std::min<std::size_t>(Data.size() - offset, INT_MAX);
        SendBuffer(Data.data() + offset, static_cast<int>(piece));
        offset += piece;
    } while (offset < Data.size() && FLastError == 0);
}

void TBlockSocket::SendInteger(int32_t Data) { SendString(EncodeInteger(static_cast<uint32_t>(Data), false)); }

void TBlockSocket::SendBlock(const std::string& Data) {
    if (Data.size() > INT32_MAX) {
        FLastError = platform::WSAEMSGSIZE;
        ExceptCheck();
        return;
    }
    SendString(EncodeInteger(static_cast<uint32_t>(Data.size()), false) + Data);
}

void TBlockSocket::SendStreamBody(platform::TStream& Stream, bool WithSize, bool Indy) {
    const int64_t count = std::max<int64_t>(Stream.Size() - Stream.Position(), 0);
    if (WithSize && count > INT32_MAX) {
        // The 4-byte count cannot say it; sending a wrong one would corrupt the transfer.
        FLastError = platform::WSAEMSGSIZE;
        ExceptCheck();
        return;
    }
    const int chunk = std::max(SendMaxChunk, 1);
    std::string prefix = WithSize ? EncodeInteger(static_cast<uint32_t>(count), Indy) : std::string();
    for (;;) {
        const std::string piece = ReadTextFromStream(Stream, chunk);
        // An empty stream still sends its count, so the receiver is not left waiting for it.
        if (piece.empty() && prefix.empty()) break;
        SendString(prefix + piece);
        prefix.clear();
        if (FLastError != 0 || piece.empty()) break;
    }
}

void TBlockSocket::SendStreamRaw(platform::TStream& Stream) { SendStreamBody(Stream, false, false); }

void TBlockSocket::SendStream(platform::TStream& Stream) { SendStreamBody(Stream, true, false); }

void TBlockSocket::SendStreamIndy(platform::TStream& Stream) { SendStreamBody(Stream, true, true); }

int TBlockSocket::SendBufferTo(const void* Buffer, int Length) {
    if (CheckStop()) return 0;
    Length = std::max(Length, 0);
    LimitRate(Length, MaxSendBandwidth, FNextSend);
    if (OnMonitor) OnMonitor(this, true, Buffer, Length);
    const ssize_t sent = ::sendto(FSocket, Buffer, static_cast<std::size_t>(Length), MSG_NOSIGNAL,
                                  FRemoteSin.Address(), FRemoteSin.Length());
    SockCheck(sent < 0 ? SOCKET_ERROR : 0);
    ExceptCheck();
    const int count = sent < 0 ? 0 : static_cast<int>(sent);
    FSendCounter += count;
    DoStatus(THookSocketReason::HR_WriteCount, std::to_string(count));
    return count;
}

}  // namespace lunaro::net

// THTTPSend: reading an answer's body by its framing.
#include "net/http/http_send.h"

#include "net/http/http_client_socket.h"
#include "platform/socket_errors.h"

namespace lunaro::net {

bool THTTPSend::ReadToClose() {
    TTCPBlockSocket& sock = *FSock;
    sock.RecvStreamRaw(ResponseStream(), Timeout);
    // Only the peer's orderly close ends such a body; a reset cuts it.
    if (sock.LastError() != platform::WSAECONNRESET || !sock.PeerEndedData()) return false;
    sock.ResetLastError();
    return true;
}

bool THTTPSend::ReadSized(int64_t Size) {
    if (Size <= 0) return true;
    FDownloadSize = Size;
    TTCPBlockSocket& sock = *FSock;
    platform::TStream& response = ResponseStream();
    sock.RecvStreamSize(response, Timeout, Size);
    response.Seek(0, platform::TSeekOrigin::soEnd);
    return sock.LastError() == 0;
}

bool THTTPSend::ReadChunkSize(int64_t& Size) {
    int64_t blank = 0;
    for (;;) {
        int64_t taken = 0;
        const std::string line = ReceiveLine(Timeout, taken);
        if (FSock->LastError() != 0) return false;
        if (!line.empty()) {
            if (ParseChunkSize(line, Size)) return true;
            FSock->RecordError(platform::WSAEINVAL);
            return false;
        }
        blank += taken;
        if (blank > kMaxHeaderLineLength) {
            FSock->RecordError(platform::WSAENOBUFS, "answer with too many blank lines before a chunk size");
            return false;
        }
    }
}

void THTTPSend::SkipTrailer() {
    int64_t total = 0;
    for (;;) {
        int64_t taken = 0;
        const std::string line = ReceiveLine(Timeout, taken);
        if (FSock->LastError() != 0 || line.empty()) return;
        total += taken;
        if (total > kMaxHeaderBlockSize) {
            FSock->RecordError(platform::WSAENOBUFS);
            return;
        }
    }
}

bool THTTPSend::ReadChunkedBody() {
    TTCPBlockSocket& sock = *FSock;
    for (;;) {
        int64_t size = 0;
        if (!ReadChunkSize(size)) break;
        if (size == 0) {
            SkipTrailer();
            break;
        }
        if (!ReadSized(size)) break;
        // Data that runs past its size, or stops short of it, leaves no
        // trustworthy place where the next chunk begins.
        if (sock.RecvBufferStr(2, Timeout) != "\r\n") {
            if (sock.LastError() == 0) FSock->RecordError(platform::WSAEINVAL, "answer with chunk data not followed by CR LF");
            break;
        }
    }
    return sock.LastError() == 0;
}

}  // namespace lunaro::net

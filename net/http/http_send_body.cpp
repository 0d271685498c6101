// THTTPSend: reading an answer's body by its framing.
#include "net/http/http_send.h"

#include "net/http/http_client_socket.h"
#include "platform/socket_errors.h"

namespace lunaro::net {

bool THTTPSend::ReadToClose() {
    TTCPBlockSocket& sock = *FSock;
    sock.RecvStreamRaw(ResponseStream(), Timeout);
    if (sock.LastError() != platform::WSAECONNRESET) return false;
    // The peer closing is how such a body ends.
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

bool THTTPSend::ReadChunkedBody() {
    TTCPBlockSocket& sock = *FSock;
    for (;;) {
        std::string line;
        do {
            line = sock.RecvString(Timeout);  // the line end after each chunk's data reads as ""
        } while (line.empty() && sock.LastError() == 0);
        if (sock.LastError() != 0) break;
        int64_t size = 0;
        if (!ParseChunkSize(line, size)) {
            FSock->RecordError(platform::WSAEINVAL);
            break;
        }
        if (size == 0 || !ReadSized(size)) break;
    }
    return sock.LastError() == 0;
}

}  // namespace lunaro::net

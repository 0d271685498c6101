// libFuzzer target: arbitrary bytes read by the FTP client as its server's
// replies, from a real socket (one end of a socket pair), then the passive
// replies' parsers on what it read.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "net/ftp/ftp_send.h"

namespace {

class TReplyReader : public lunaro::net::TFTPSend {
public:
    using TFTPSend::ReadResult;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) return 0;
    // The input is limited (-max_len) to what the pair's buffer holds.
    size_t sent = 0;
    while (sent < size) {
        const ssize_t wrote = ::send(pair[1], data + sent, size - sent, MSG_NOSIGNAL);
        if (wrote <= 0) break;
        sent += static_cast<size_t>(wrote);
    }
    ::shutdown(pair[1], SHUT_WR);
    {
        TReplyReader ftp;
        ftp.Timeout = 200;
        ftp.Sock().SetSocket(pair[0]);
        for (int reply = 0; reply < 4; ++reply) {
            ftp.ReadResult();
            std::string ip;
            int port = 0;
            (void)lunaro::net::ParsePasvReply(ftp.ResultString(), ip, port);
            (void)lunaro::net::ParseEpsvReply(ftp.ResultString());
            if (ftp.Sock().LastError() != 0) break;
        }
    }
    ::close(pair[1]);
    return 0;
}

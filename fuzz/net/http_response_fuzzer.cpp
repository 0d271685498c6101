// libFuzzer target: arbitrary bytes as the answer THTTPSend reads from a
// loopback server: the status line and headers, then the body as the
// headers frame it (length, chunks or the end of the connection). The first
// byte chooses the request (GET or HEAD, HTTP/1.0 or 1.1).
#include <cstddef>
#include <cstdint>

#include "fuzz/net/loopback_peer.h"
#include "net/http/http_send.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static lunaro::fuzz::TLoopbackPeer peer;
    if (peer.Port() == 0 || size == 0) return 0;
    peer.SetReply(data + 1, size - 1);
    lunaro::net::THTTPSend http;
    http.Timeout = 1000;
    http.Protocol = (data[0] & 1) ? "1.1" : "1.0";
    (void)http.HTTPMethod((data[0] & 2) ? "HEAD" : "GET", "http://127.0.0.1:" + peer.PortText() + "/fuzz");
    for (int i = 0; i < http.Headers().Count(); ++i) (void)http.Headers()[i].size();
    (void)http.Document().Size();
    return 0;
}

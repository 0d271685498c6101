// libFuzzer target: arbitrary bytes as a proxy's answers, read by the TCP
// socket from a loopback server while it tunnels to a loopback target: an
// HTTP proxy's answer to CONNECT, or a SOCKS 4 or 5 proxy's answers. The
// first byte chooses the proxy and its options.
#include <cstddef>
#include <cstdint>

#include "fuzz/net/loopback_peer.h"
#include "net/socket/tcp_socket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static lunaro::fuzz::TLoopbackPeer peer;
    if (peer.Port() == 0 || size == 0) return 0;
    peer.SetReply(data + 1, size - 1);
    const uint8_t choice = data[0];
    lunaro::net::TTCPBlockSocket socket;
    if (choice & 1) {
        socket.HTTPTunnelIP = "127.0.0.1";
        socket.HTTPTunnelPort = peer.PortText();
        socket.HTTPTunnelTimeout = 1000;
        if (choice & 2) {
            socket.HTTPTunnelUser = "u";
            socket.HTTPTunnelPass = "p";
        }
    } else {
        socket.SocksIP = "127.0.0.1";
        socket.SocksPort = peer.PortText();
        socket.SocksTimeout = 1000;
        socket.SocksType = (choice & 2) ? lunaro::net::TSocksType::ST_Socks4 : lunaro::net::TSocksType::ST_Socks5;
        socket.SocksResolver = (choice & 4) != 0;
        if (choice & 8) {
            socket.SocksUsername = "u";
            socket.SocksPassword = "p";
        }
    }
    // The target is never reached: the proxy answers are all there is.
    socket.Connect((choice & 16) ? "localhost" : "127.0.0.1", "9");
    (void)socket.LastError();
    return 0;
}

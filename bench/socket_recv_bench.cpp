// Receiving a large transfer over loopback: the socket's RecvStreamSize
// (the path the HTTP client takes for a sized body) against a plain recv()
// loop, in the same run, from the same sender. Prints the throughput of
// each and the ratio.
//
// Usage: lunaro-socket-bench [MiB per transfer, default 1024] [runs, default 3]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "net/socket/tcp_socket.h"
#include "platform/stream.h"

namespace {

using Clock = std::chrono::steady_clock;

// Where the received bytes go: counted and dropped, so the measurement is
// the socket path and not a disk or a growing buffer.
class DiscardStream : public lunaro::platform::TStream {
public:
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void*, int64_t count) override {
        written += count;
        return count;
    }
    int64_t Seek(int64_t, lunaro::platform::TSeekOrigin) override { return written; }
    void SetSize(int64_t) override {}
    int64_t written = 0;
};

int ListenLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
        std::perror("listen");
        std::exit(2);
    }
    port = ntohs(addr.sin_port);
    return fd;
}

// Accepts one connection and sends bytes of it as fast as it is taken.
std::thread SendOnce(int listener, int64_t bytes) {
    return std::thread([listener, bytes] {
        const int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0) return;
        std::vector<char> block(256 * 1024);
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131);
        for (int64_t left = bytes; left > 0;) {
            const ssize_t sent = ::send(fd, block.data(), static_cast<std::size_t>(std::min<int64_t>(left, block.size())),
                                        MSG_NOSIGNAL);
            if (sent <= 0) break;
            left -= sent;
        }
        ::close(fd);
    });
}

double PlainLoop(int listener, int port, int64_t bytes) {
    std::thread sender = SendOnce(listener, bytes);
    const auto start = Clock::now();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    int64_t received = 0;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        std::vector<char> buffer(65536);
        while (received < bytes) {
            const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
            if (got <= 0) break;
            received += got;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::close(fd);
    sender.join();
    if (received != bytes) {
        std::fprintf(stderr, "plain loop received %lld of %lld bytes\n", static_cast<long long>(received),
                     static_cast<long long>(bytes));
        std::exit(1);
    }
    return seconds;
}

double SocketPath(int listener, int port, int64_t bytes) {
    std::thread sender = SendOnce(listener, bytes);
    const auto start = Clock::now();
    lunaro::net::TTCPBlockSocket socket;
    socket.Connect("127.0.0.1", std::to_string(port));
    DiscardStream sink;
    if (socket.LastError() == 0) socket.RecvStreamSize(sink, 60000, bytes);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const int error = socket.LastError();
    socket.AbortSocket();
    sender.join();
    if (error != 0 || sink.written != bytes) {
        std::fprintf(stderr, "RecvStreamSize failed: error %d, %lld of %lld bytes\n", error,
                     static_cast<long long>(sink.written), static_cast<long long>(bytes));
        std::exit(1);
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int64_t mebibytes = argc > 1 ? std::max(1L, std::atol(argv[1])) : 1024;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const int64_t bytes = mebibytes << 20;
    int port = 0;
    const int listener = ListenLoopback(port);

    // Alternate the two so that neither profits from a warmer machine; keep
    // the best run of each.
    double plain = 1e9;
    double socket = 1e9;
    for (int run = 0; run < runs; ++run) {
        plain = std::min(plain, PlainLoop(listener, port, bytes));
        socket = std::min(socket, SocketPath(listener, port, bytes));
    }
    ::close(listener);

    const double mib = static_cast<double>(bytes) / (1 << 20);
    std::printf("transfer: %lld MiB over 127.0.0.1, best of %d runs\n", static_cast<long long>(mebibytes), runs);
    std::printf("plain recv() loop:          %8.1f MiB/s\n", mib / plain);
    std::printf("TBlockSocket.RecvStreamSize %8.1f MiB/s\n", mib / socket);
    std::printf("ratio (socket / plain):     %8.2f  (goal: at least 0.80)\n", plain / socket);
    return 0;
}

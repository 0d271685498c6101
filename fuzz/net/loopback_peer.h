#pragma once
// A TCP peer on 127.0.0.1 for the network fuzz targets: every connection
// made to it receives the current input's bytes and then the end of the
// data, so a client reads exactly what the fuzzer chose, through a real
// socket. One thread serves the connections one at a time; every wait on
// its side is bounded.
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace lunaro::fuzz {

class TLoopbackPeer {
public:
    TLoopbackPeer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(listener_, 8) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        std::thread([this] { ServeForever(); }).detach();
    }

    // 0 when the peer could not listen.
    int Port() const { return port_; }
    std::string PortText() const { return std::to_string(port_); }

    // The bytes the next connections receive.
    void SetReply(const uint8_t* data, size_t size) {
        std::lock_guard<std::mutex> lock(mutex_);
        reply_.assign(reinterpret_cast<const char*>(data), size);
    }

private:
    void ServeForever() {
        for (;;) {
            const int fd = ::accept(listener_, nullptr, nullptr);
            if (fd < 0) continue;
            std::string reply;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                reply = reply_;
            }
            timeval limit{2, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
            size_t sent = 0;
            while (sent < reply.size()) {
                const ssize_t wrote = ::send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
                if (wrote <= 0) break;
                sent += static_cast<size_t>(wrote);
            }
            ::shutdown(fd, SHUT_WR);
            // What the client sends is read and dropped until it closes.
            char sink[4096];
            for (int reads = 0; reads < 1024 && ::recv(fd, sink, sizeof(sink), 0) > 0; ++reads) {
            }
            ::close(fd);
        }
    }

    int listener_ = -1;
    int port_ = 0;
    std::mutex mutex_;
    std::string reply_;
};

}  // namespace lunaro::fuzz

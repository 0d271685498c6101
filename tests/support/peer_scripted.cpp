#include "tests/support/peer_scripted.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace lunaro::testkit {

namespace {

constexpr int kStepWaitMs = 5000;
constexpr int kSliceMs = 50;  // how often a waiting step looks at the stop flag

int Listen(const std::string& host, int& port) {
    sockaddr_storage addr{};
    socklen_t len = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&addr);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&addr);
    if (::inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        len = sizeof *v4;
    } else if (::inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        len = sizeof *v6;
    } else {
        return -1;
    }
    const int fd = ::socket(addr.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(addr.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
    return fd;
}

}  // namespace

PeerScript& PeerScript::Send(std::string bytes) {
    steps_.push_back([bytes = std::move(bytes)](ScriptedPeer& peer, int fd) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            if (!peer.WaitFor(fd, POLLOUT, kStepWaitMs)) return false;
            const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    });
    return *this;
}

PeerScript& PeerScript::Pause(int ms) {
    steps_.push_back([ms](ScriptedPeer& peer, int) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (peer.Stopping()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 10)));
        }
        return true;
    });
    return *this;
}

PeerScript& PeerScript::Read(std::size_t count) {
    steps_.push_back([count](ScriptedPeer& peer, int fd) {
        char buffer[4096];
        std::size_t got = 0;
        while (got < count) {
            if (!peer.WaitFor(fd, POLLIN, kStepWaitMs)) return false;
            const ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, count - got), 0);
            if (n <= 0) return false;
            peer.Record(buffer, static_cast<std::size_t>(n));
            got += static_cast<std::size_t>(n);
        }
        return true;
    });
    return *this;
}

PeerScript& PeerScript::ReadUntil(std::string marker) {
    steps_.push_back([marker = std::move(marker)](ScriptedPeer& peer, int fd) {
        std::string seen;
        while (seen.size() < marker.size() || seen.compare(seen.size() - marker.size(), marker.size(), marker) != 0) {
            char byte;
            if (!peer.WaitFor(fd, POLLIN, kStepWaitMs) || ::recv(fd, &byte, 1, 0) != 1) return false;
            peer.Record(&byte, 1);
            seen += byte;
        }
        return true;
    });
    return *this;
}

PeerScript& PeerScript::Flood(char byte, std::size_t count) {
    steps_.push_back([byte, count](ScriptedPeer& peer, int fd) {
        const std::string block(65536, byte);
        std::size_t sent = 0;
        while (sent < count) {
            if (!peer.WaitFor(fd, POLLOUT, 2000)) return true;  // the client stopped reading
            const ssize_t n = ::send(fd, block.data(), std::min(block.size(), count - sent), MSG_NOSIGNAL);
            if (n <= 0) return true;  // the client went away
            sent += static_cast<std::size_t>(n);
        }
        return true;
    });
    return *this;
}

PeerScript& PeerScript::AwaitClientClose(int ms) {
    steps_.push_back([ms](ScriptedPeer& peer, int fd) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        char buffer[4096];
        while (std::chrono::steady_clock::now() < end) {
            if (!peer.WaitFor(fd, POLLIN, kSliceMs)) {
                if (peer.Stopping()) return false;
                continue;
            }
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return true;
            peer.Record(buffer, static_cast<std::size_t>(n));
        }
        return false;
    });
    return *this;
}

PeerScript& PeerScript::Close() {
    steps_.push_back([](ScriptedPeer&, int fd) { return ::shutdown(fd, SHUT_WR) == 0; });
    return *this;
}

PeerScript& PeerScript::Reset() {
    steps_.push_back([](ScriptedPeer&, int fd) {
        const linger abortive{1, 0};
        if (::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive) != 0) return false;
        // The connection's last descriptor must go now for the reset to be
        // sent, while fd stays valid for the close that ends the run.
        const int spare = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (spare < 0) return false;
        const bool replaced = ::dup2(spare, fd) == fd;
        ::close(spare);
        return replaced;
    });
    return *this;
}

ScriptedPeer::ScriptedPeer(PeerScript script, const std::string& host) {
    listener_ = Listen(host, port_);
    if (listener_ >= 0) thread_ = std::thread(&ScriptedPeer::Run, this, std::move(script));
}

ScriptedPeer::~ScriptedPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
}

bool ScriptedPeer::WaitFor(int fd, short events, int ms) const {
    for (int waited = 0; waited < ms; waited += kSliceMs) {
        if (stop_) return false;
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, std::min(kSliceMs, ms - waited));
        if (r > 0) return true;
        if (r < 0 && errno != EINTR) return false;
    }
    return false;
}

void ScriptedPeer::Run(PeerScript script) {
    if (WaitFor(listener_, POLLIN, 10000)) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            bool ok = true;
            for (auto& step : script.steps_) {
                if (!(ok = step(*this, fd))) break;
            }
            completed_ = ok;
            scriptEnded_ = true;
            // Keep the connection until the test is done with it, so the
            // client sees only the closes the script asked for.
            while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs / 5));
            ::close(fd);
        }
    }
    scriptEnded_ = true;
}

bool ScriptedPeer::WaitDone(int ms) const {
    for (int waited = 0; waited < ms; waited += 10) {
        if (scriptEnded_) return completed_;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return completed_;
}

void ScriptedPeer::Record(const char* bytes, std::size_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(bytes, count);
}

std::string ScriptedPeer::Received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

}  // namespace lunaro::testkit

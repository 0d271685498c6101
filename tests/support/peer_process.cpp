#include "tests/support/peer_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "tests/support/port_owner.h"
#include "tests/support/test_support.h"

namespace lunaro::testkit {

namespace {

// Fills addr for a numeric IPv4 or IPv6 literal; returns its length or 0.
socklen_t LoopbackAddress(const std::string& host, int port, sockaddr_storage& addr) {
    std::memset(&addr, 0, sizeof addr);
    auto* v4 = reinterpret_cast<sockaddr_in*>(&addr);
    if (::inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        return sizeof(sockaddr_in);
    }
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&addr);
    if (::inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        return sizeof(sockaddr_in6);
    }
    return 0;
}

bool Exited(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

}  // namespace

bool LoopbackPortAccepts(const std::string& host, int port, int timeoutMs) {
    sockaddr_storage addr;
    const socklen_t len = LoopbackAddress(host, port, addr);
    if (len == 0) return false;
    const int fd = ::socket(addr.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0;
    if (!ok && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t errorLen = sizeof error;
        ok = ::poll(&p, 1, timeoutMs) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &errorLen) == 0 &&
             error == 0;
    }
    ::close(fd);
    return ok;
}

PeerProcess::~PeerProcess() { Stop(); }

PeerStart PeerProcess::Start(const std::string& program, const std::vector<std::string>& args, const std::string& host,
                        int port, const std::string& logPath, int waitMs) {
    Stop();
    error_.clear();
    if (program.empty() || ::access(program.c_str(), X_OK) != 0) {
        error_ = "program not installed: " + program;
        return PeerStart::Failed;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ < 0) {
        error_ = "fork failed";
        return PeerStart::Failed;
    }
    if (pid_ == 0) {
        ::setpgid(0, 0);
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0) ::dup2(null, 0);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::setpgid(pid_, pid_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (GroupListensOn(pid_, port) && LoopbackPortAccepts(host, port)) return PeerStart::Up;
        if (Exited(pid_)) {
            ::kill(-pid_, SIGKILL);  // what it forked goes with it
            pid_ = -1;
            error_ = program + " exited: " + ReadFile(logPath);
            return PeerStart::PortLost;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    // A port that accepts while our program does not listen there is
    // another test's daemon.
    const bool taken = LoopbackPortAccepts(host, port);
    error_ = program + " did not listen on " + host + " port " + std::to_string(port) +
             (taken ? " (another process holds it)" : "") + ": " + ReadFile(logPath);
    Stop();
    return taken ? PeerStart::PortLost : PeerStart::Failed;
}

void PeerProcess::Stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {  // at most 2 s
        gone = Exited(pid_);
        if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!gone) {
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    // Helpers the program forked stay in its group; make sure none outlives it.
    ::kill(-pid_, SIGKILL);
    pid_ = -1;
}

}  // namespace lunaro::testkit

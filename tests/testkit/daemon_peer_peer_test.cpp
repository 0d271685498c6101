// The launcher of real peers must never mistake another process on its
// port for the daemon it started, and must get its daemon up on a new port
// when the one it chose was taken before the daemon could bind it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/daemon_peer.h"
#include "tests/support/port_owner.h"

namespace lunaro::testkit {
namespace {

// A port this test listens on itself, as another test's daemon would.
class HeldPort {
public:
    HeldPort() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(fd_, 4) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            port_ = ntohs(addr.sin_port);
    }
    ~HeldPort() { ::close(fd_); }
    int Port() const { return port_; }

private:
    int fd_;
    int port_ = 0;
};

// A daemon that listens on the port it is given, or exits when it cannot.
class ListeningScript : public DaemonPeer {
public:
    explicit ListeningScript(int firstPort) {
        port_ = firstPort;
        WriteFile(dir_.File("listen.py"),
                  "import socket, sys, time\n"
                  "s = socket.socket()\n"
                  "s.bind(('127.0.0.1', int(sys.argv[1])))\n"
                  "s.listen()\n"
                  "time.sleep(60)\n");
        Start([this] {
            return Launch{"/usr/bin/python3", {dir_.File("listen.py"), std::to_string(port_)}, "127.0.0.1",
                          dir_.File("listen.log")};
        });
    }
    pid_t Pid() const { return process_.Pid(); }
};

TEST(DaemonPeer, SomeoneElsesListenerIsNotTakenForTheDaemon) {
    HeldPort held;
    ASSERT_NE(held.Port(), 0);
    TempDir dir;
    PeerProcess idle;
    EXPECT_EQ(idle.Start("/bin/sleep", {"30"}, "127.0.0.1", held.Port(), dir.File("sleep.log"), 300),
              PeerStart::PortLost);
    EXPECT_FALSE(idle.Running());
    EXPECT_NE(idle.Error().find("another process holds it"), std::string::npos) << idle.Error();
}

TEST(DaemonPeer, ATakenPortIsGivenUpForANewOne) {
    LUNARO_REQUIRE_PEER(!FindProgram("python3").empty(), "python3");
    HeldPort held;
    ASSERT_NE(held.Port(), 0);
    ListeningScript daemon(held.Port());
    ASSERT_TRUE(daemon.Running()) << daemon.Error();
    EXPECT_NE(daemon.Port(), held.Port());
    EXPECT_TRUE(GroupListensOn(daemon.Pid(), daemon.Port()));
    EXPECT_FALSE(GroupListensOn(daemon.Pid(), held.Port()));
}

}  // namespace
}  // namespace lunaro::testkit

#pragma once
// A real server program run by a test: started in its own process group,
// waited for (bounded) until a process of that group listens on its
// loopback port and the port accepts, and stopped with the whole group when
// the object goes. The proxy
// launchers build on it; any other daemon a suite needs can be started the
// same way.
#include <sys/types.h>

#include <string>
#include <vector>

namespace lunaro::testkit {

// True when a TCP connection to host:port (a loopback literal) succeeds
// within timeoutMs.
bool LoopbackPortAccepts(const std::string& host, int port, int timeoutMs = 200);

enum class PeerStart {
    Up,
    PortLost,  // the program exited, or someone else holds the port: worth a new port
    Failed,    // missing, or never came up
};

class PeerProcess {
public:
    PeerProcess() = default;
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Runs program with args (argv[0] is added), its output going to
    // logPath, and waits up to waitMs for it to listen on host:port.
    // Anything but Up leaves Error() saying why and nothing running.
    PeerStart Start(const std::string& program, const std::vector<std::string>& args, const std::string& host,
               int port, const std::string& logPath, int waitMs = 5000);
    void Stop();

    bool Running() const { return pid_ > 0; }
    // The program's process id (the leader of its group), -1 when stopped.
    pid_t Pid() const { return pid_; }
    const std::string& Error() const { return error_; }

private:
    pid_t pid_ = -1;
    std::string error_;
};

}  // namespace lunaro::testkit

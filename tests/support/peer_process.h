#pragma once
// A real server program run by a test: started in its own process group,
// waited for (bounded) until it accepts TCP connections on its loopback
// port, and stopped with the whole group when the object goes. The proxy
// launchers build on it; any other daemon a suite needs can be started the
// same way.
#include <sys/types.h>

#include <string>
#include <vector>

namespace lunaro::testkit {

// True when a TCP connection to host:port (a loopback literal) succeeds
// within timeoutMs.
bool LoopbackPortAccepts(const std::string& host, int port, int timeoutMs = 200);

class PeerProcess {
public:
    PeerProcess() = default;
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Runs program with args (argv[0] is added), its output going to
    // logPath, and waits up to waitMs for host:port to accept. Returns false
    // with Error() set when the program is missing, exits, or never accepts.
    bool Start(const std::string& program, const std::vector<std::string>& args, const std::string& host,
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

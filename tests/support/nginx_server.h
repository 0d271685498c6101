#pragma once
// A real nginx on a free loopback port, serving a folder. Used by the HTTP,
// download and installer tests. The server runs in the foreground of its own
// process group and is stopped when the object goes.
#include <sys/types.h>

#include <string>

namespace lunaro::testing {

struct NginxOptions {
    std::string root;               // folder served at "/"
    std::string extraServerConfig;  // directives added inside the server block
    bool ipv6 = true;               // also listen on [::1]
};

class NginxServer {
public:
    explicit NginxServer(NginxOptions options);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // False when nginx is not installed or did not come up; Error() says why.
    bool Running() const { return pid_ > 0; }
    const std::string& Error() const { return error_; }
    int Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    // Kills every worker process (the master restarts them), cutting any
    // transfer in progress.
    void KillWorkers();
    void Stop();

private:
    std::string prefix_;
    std::string error_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace lunaro::testing

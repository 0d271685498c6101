#include "tests/support/nginx_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace lunaro::testing {

namespace {

bool PortAccepts(int port) {
    const std::string probe = "exec 3<>/dev/tcp/127.0.0.1/" + std::to_string(port);
    return std::system(("bash -c '" + probe + "' 2>/dev/null").c_str()) == 0;
}

}  // namespace

NginxServer::NginxServer(NginxOptions options) {
    const std::string nginx = FindProgram("nginx");
    if (nginx.empty()) {
        error_ = "nginx is not installed";
        return;
    }
    static int counter = 0;
    prefix_ = std::string(LUNARO_BINARY_DIR) + "/tmp/nginx_" + std::to_string(::getpid()) + "_" +
              std::to_string(counter++);
    fs::remove_all(prefix_);
    fs::create_directories(prefix_ + "/logs");
    port_ = FreeLoopbackPort();

    std::ostringstream conf;
    conf << "daemon off;\nworker_processes 1;\npid " << prefix_ << "/nginx.pid;\n"
         << "error_log " << prefix_ << "/logs/error.log warn;\n";
    if (::geteuid() == 0) conf << "user root;\n";
    conf << "events { worker_connections 256; }\n"
         << "http {\n  access_log off;\n  sendfile on;\n  default_type application/octet-stream;\n"
         << "  client_body_temp_path " << prefix_ << "/body;\n  proxy_temp_path " << prefix_ << "/proxy;\n"
         << "  fastcgi_temp_path " << prefix_ << "/fcgi;\n  uwsgi_temp_path " << prefix_ << "/uwsgi;\n"
         << "  scgi_temp_path " << prefix_ << "/scgi;\n"
         << "  server {\n    listen 127.0.0.1:" << port_ << ";\n";
    if (options.ipv6) conf << "    listen [::1]:" << port_ << ";\n";
    conf << "    root " << options.root << ";\n" << options.extraServerConfig << "\n  }\n}\n";
    std::ofstream(prefix_ + "/nginx.conf") << conf.str();

    pid_ = ::fork();
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::execl(nginx.c_str(), "nginx", "-p", prefix_.c_str(), "-c", (prefix_ + "/nginx.conf").c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 100; ++i) {  // at most 5 s
        if (PortAccepts(port_)) return;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "nginx exited: " + ReadFile(prefix_ + "/logs/error.log");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error_ = "nginx did not accept connections on port " + std::to_string(port_);
    Stop();
}

NginxServer::~NginxServer() { Stop(); }

void NginxServer::KillWorkers() {
    if (pid_ <= 0) return;
    // Workers are the master's children in its process group; kill all but the master.
    std::system(("pkill -KILL -P " + std::to_string(pid_)).c_str());
}

void NginxServer::Stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (pid_ > 0) {
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    std::error_code ignored;
    fs::remove_all(prefix_, ignored);
}

}  // namespace lunaro::testing

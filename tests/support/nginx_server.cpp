#include "tests/support/nginx_server.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace lunaro::testkit {

NginxServer::NginxServer(const NginxOptions& options) {
    Start([&] {
        const std::string prefix = dir_.Path();
        std::ostringstream conf;
        conf << "daemon off;\nworker_processes 1;\npid " << prefix << "/nginx.pid;\nerror_log stderr warn;\n";
        if (::geteuid() == 0) conf << "user root;\n";
        conf << "events { worker_connections 256; }\n"
             << "http {\n  access_log off;\n  sendfile on;\n  default_type application/octet-stream;\n";
        for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
            conf << "  " << temp << "_temp_path " << prefix << "/" << temp << ";\n";
        conf << "  server {\n    listen 127.0.0.1:" << port_ << options.listenParameters << ";\n";
        if (options.ipv6) conf << "    listen [::1]:" << port_ << options.listenParameters << ";\n";
        conf << "    root " << options.root << ";\n" << options.extraServerConfig << "\n  }\n}\n";
        WriteFile(dir_.File("nginx.conf"), conf.str());
        return Launch{
            FindProgram("nginx"), {"-p", prefix, "-c", dir_.File("nginx.conf")}, "127.0.0.1", dir_.File("nginx.log")};
    });
}

void NginxServer::KillWorkers() {
    if (!Running()) return;
    // The workers are the master's children; the master itself stays.
    std::system(("pkill -KILL -P " + std::to_string(process_.Pid())).c_str());
}

}  // namespace lunaro::testkit

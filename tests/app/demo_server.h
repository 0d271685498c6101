#pragma once
// The demo packages, built by demo/make-packages, served by a real nginx on
// loopback, with the stand-in engine that unpacks as the extraction engine;
// the access log tells which packages were asked for, in order.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/nginx_server.h"
#include "tests/support/test_support.h"

namespace lunaro::testkit {

class DemoServer {
public:
    explicit DemoServer(const std::string& folder)
        : packages_(folder + "/packages"), accessLog_(folder + "/access.log") {
        const std::string make = std::string(LUNARO_SOURCE_DIR) + "/demo/make-packages '" + packages_ + "' '" +
                                 LUNARO_UNPACKING_ENGINE + "' >/dev/null";
        if (std::system(make.c_str()) != 0) {
            error_ = "demo/make-packages failed (is zip installed?)";
            return;
        }
        nginx_ = std::make_unique<NginxServer>(NginxOptions{packages_, "access_log " + accessLog_ + ";", false, ""});
        if (!nginx_->Running()) error_ = nginx_->Error();
    }

    bool Running() const { return error_.empty() && nginx_ && nginx_->Running(); }
    const std::string& Error() const { return error_; }
    std::string BaseUrl() const { return nginx_->BaseUrl(); }
    const std::string& PackagesFolder() const { return packages_; }
    void Stop() { nginx_->Stop(); }

    // "/LunaroSoftInstalacao.zip 200" for every request so far.
    std::vector<std::string> Requests() const {
        std::vector<std::string> requests;
        std::istringstream lines(ReadFile(accessLog_));
        std::string line;
        while (std::getline(lines, line)) {
            const size_t start = line.find("\"GET ");
            const size_t end = line.find(" HTTP/", start);
            const size_t status = line.find("\" ", end);
            if (start == std::string::npos || end == std::string::npos || status == std::string::npos) continue;
            requests.push_back(line.substr(start + 5, end - start - 5) + " " + line.substr(status + 2, 3));
        }
        return requests;
    }

private:
    std::string packages_;
    std::string accessLog_;
    std::string error_;
    std::unique_ptr<NginxServer> nginx_;
};

}  // namespace lunaro::testkit

#pragma once
// Base of the protocol clients (HTTP, FTP): where to connect, from which
// local address, how long to wait, and the credentials to present.
#include <cstdint>
#include <string>

namespace lunaro::net {

class TCorvaClient {
public:
    TCorvaClient();
    virtual ~TCorvaClient();
    TCorvaClient(const TCorvaClient&) = delete;
    TCorvaClient& operator=(const TCorvaClient&) = delete;

    std::string TargetHost = "127.0.0.1";
    std::string TargetPort = "0";
    std::string IPInterface = "0.0.0.0";  // local address to bind
    int32_t Timeout = 5000;               // ms, each wait for data
    std::string UserName;
    std::string Password;
};

}  // namespace lunaro::net

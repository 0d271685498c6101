#pragma once
// The two settings objects of the download component. Workers share them
// with the component rather than copying them, so a change made during a
// transfer is seen at once.
#include <cstdint>
#include <string>

namespace lunaro::download {

// HTTP settings. ProxyTimeout is, despite its name, the HTTP worker's
// network time-out in milliseconds, with or without a proxy.
struct TNexoProxy {
    std::string ProxyHost;
    std::string ProxyPort;
    std::string ProxyUser;
    std::string ProxyPass;
    int32_t ProxyTimeout = 90000;
};

struct TNexoFTP {
    std::string FtpHost;
    std::string FtpPort;
    std::string FtpUser;
    std::string FtpPass;
    int32_t FtpTimeout = 300000;
};

}  // namespace lunaro::download

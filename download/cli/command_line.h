#pragma once
// The command line of lunaro-download:
//   lunaro-download URL FOLDER [--name=NAME] [--proxy=HOST:PORT]
//                   [--proxy-user=U --proxy-pass=P] [--timeout=MS]
//                   [transfer options, see transfer_options.h]
//                   [--ftp-user=U] [--ftp-pass=P]
#include <cstdint>
#include <string>
#include <vector>

#include "download/cli/transfer_options.h"

namespace lunaro::download::cli {

struct TDownloadOptions {
    std::string Url;
    std::string Folder;
    std::string Name;  // empty: taken from the URL
    std::string ProxyHost;
    std::string ProxyPort;
    std::string ProxyUser;
    std::string ProxyPass;
    std::string FtpUser;  // empty: the URL's, else anonymous
    std::string FtpPass;
    int32_t TimeoutMs = 90000;
    TTransferOptions Transfer;
    bool Help = false;
};

// Reads the arguments (without the program name) into options. Returns ""
// on success, otherwise what is wrong with them.
std::string ParseCommandLine(const std::vector<std::string>& args, TDownloadOptions& options);

// The --help text.
std::string UsageText();

}  // namespace lunaro::download::cli

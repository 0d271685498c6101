#include "download/cli/ftp_settings.h"

#include "net/text_utils.h"
#include "platform/text_case.h"

namespace lunaro::download::cli {

bool IsFtpUrl(const std::string& url) {
    const size_t scheme = url.find("://");
    return scheme != std::string::npos && platform::AsciiUpperCase(url.substr(0, scheme)) == "FTP";
}

void FillFtpSettings(TNexoFTP& ftp, const TDownloadOptions& options) {
    const net::TUrlParts parts = net::SplitUrl(options.Url);
    ftp.FtpHost = parts.Host;
    ftp.FtpPort = parts.Port;
    ftp.FtpUser = options.FtpUser.empty() ? net::PercentDecode(parts.User) : options.FtpUser;
    ftp.FtpPass = options.FtpPass.empty() ? net::PercentDecode(parts.Pass) : options.FtpPass;
    ftp.FtpTimeout = options.TimeoutMs;
}

}  // namespace lunaro::download::cli

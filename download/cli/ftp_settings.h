#pragma once
// How an ftp:// address on the command line fills the download component's
// FTP settings: host, port, user and password from the URL, with
// --ftp-user/--ftp-pass taking precedence over what the URL holds.
#include <string>

#include "download/cli/command_line.h"
#include "download/nexo_settings.h"

namespace lunaro::download::cli {

// True for an address with the ftp:// scheme (letter case ignored).
bool IsFtpUrl(const std::string& url);

// The URL's user and password are percent-decoded; an empty user leaves
// the client's anonymous login.
void FillFtpSettings(TNexoFTP& ftp, const TDownloadOptions& options);

}  // namespace lunaro::download::cli

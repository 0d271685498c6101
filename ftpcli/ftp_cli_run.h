#pragma once
// Running one lunaro-ftp command. Output goes to out, diagnostics (the
// server's refusal, unparsed listing lines) to err.
#include <cstdio>

#include "ftpcli/ftp_cli_options.h"

namespace lunaro::ftpcli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitFailed = 2;

int RunFtpCommand(const TFtpCliOptions& options, std::FILE* out, std::FILE* err);

}  // namespace lunaro::ftpcli

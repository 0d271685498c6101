// lunaro-ftp: the FTP client from a shell. See FtpUsageText().
#include <cstdio>
#include <string>
#include <vector>

#include "ftpcli/ftp_cli_options.h"
#include "ftpcli/ftp_cli_run.h"

int main(int argc, char** argv) {
    using namespace lunaro::ftpcli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    TFtpCliOptions options;
    const std::string problem = ParseFtpCommandLine(args, options);
    if (!problem.empty()) {
        std::fprintf(stderr, "lunaro-ftp: %s (see lunaro-ftp --help)\n", problem.c_str());
        return kExitFailed;
    }
    if (options.Help) {
        std::fputs(FtpUsageText().c_str(), stdout);
        return kExitOk;
    }
    return RunFtpCommand(options, stdout, stderr);
}

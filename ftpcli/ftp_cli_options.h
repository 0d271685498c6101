#pragma once
// The command line of lunaro-ftp: a command, its operands, and options that
// may come anywhere ("--name=value" or "--name value").
#include <cstdint>
#include <string>
#include <vector>

namespace lunaro::ftpcli {

enum class TListFormat : uint8_t { Table, Tsv };

struct TFtpCliOptions {
    std::string Command;                // ls, get, put, mkdir, rmdir, rm, mv, size, pwd, parse-listing
    std::vector<std::string> Operands;  // in the order given
    std::string User;
    std::string Pass;
    bool UserGiven = false;
    bool PassGiven = false;
    bool Active = false;
    bool NoEpsv = false;
    bool TrustPasvAddress = false;
    std::string FwHost;
    std::string FwPort = "21";
    std::string FwUser;
    std::string FwPass;
    int32_t FwMode = 0;
    int32_t TimeoutMs = 60000;
    bool Mlsd = false;
    TListFormat Format = TListFormat::Table;
    bool Resume = false;
    bool Append = false;
    bool Help = false;
};

// Reads the arguments (without the program name). Returns "" on success,
// otherwise what is wrong with them.
std::string ParseFtpCommandLine(const std::vector<std::string>& args, TFtpCliOptions& options);

std::string FtpUsageText();

}  // namespace lunaro::ftpcli

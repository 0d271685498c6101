#include "ftpcli/ftp_cli_options.h"

#include <charconv>
#include <map>

namespace lunaro::ftpcli {
namespace {

struct TCommandShape {
    size_t minOperands;
    size_t maxOperands;
};

const std::map<std::string, TCommandShape>& Commands() {
    static const std::map<std::string, TCommandShape> commands = {
        {"ls", {1, 1}},  {"get", {1, 2}},  {"put", {2, 2}},  {"mkdir", {1, 1}}, {"rmdir", {1, 1}},
        {"rm", {1, 1}},  {"mv", {2, 2}},   {"size", {1, 1}}, {"pwd", {1, 1}},   {"parse-listing", {1, 1}},
    };
    return commands;
}

bool ReadNumber(const std::string& text, int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

}  // namespace

std::string ParseFtpCommandLine(const std::vector<std::string>& args, TFtpCliOptions& options) {
    static const char* kValued[] = {"--user", "--pass", "--fw-host", "--fw-port", "--fw-user",
                                    "--fw-pass", "--fw-mode", "--timeout", "--format"};
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
            return {};
        }
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            if (options.Command.empty()) options.Command = arg;
            else options.Operands.push_back(arg);
            continue;
        }
        std::string name = arg.substr(0, arg.find('='));
        std::string value;
        bool valued = false;
        for (const char* known : kValued) valued = valued || name == known;
        if (valued) {
            if (arg.find('=') != std::string::npos) {
                value = arg.substr(arg.find('=') + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return name + " needs a value";
            }
        } else if (arg.find('=') != std::string::npos) {
            return name + " takes no value";
        }
        if (name == "--user") options.User = value, options.UserGiven = true;
        else if (name == "--pass") options.Pass = value, options.PassGiven = true;
        else if (name == "--fw-host") options.FwHost = value;
        else if (name == "--fw-port") options.FwPort = value;
        else if (name == "--fw-user") options.FwUser = value;
        else if (name == "--fw-pass") options.FwPass = value;
        else if (name == "--fw-mode") {
            if (!ReadNumber(value, options.FwMode) || options.FwMode < 0 || options.FwMode > 8) {
                return "--fw-mode must be a number from 0 to 8";
            }
        } else if (name == "--timeout") {
            if (!ReadNumber(value, options.TimeoutMs) || options.TimeoutMs <= 0) {
                return "--timeout must be a positive number of milliseconds";
            }
        } else if (name == "--format") {
            if (value == "table") options.Format = TListFormat::Table;
            else if (value == "tsv") options.Format = TListFormat::Tsv;
            else return "--format must be table or tsv";
        } else if (name == "--active") options.Active = true;
        else if (name == "--no-epsv") options.NoEpsv = true;
        else if (name == "--trust-pasv-address") options.TrustPasvAddress = true;
        else if (name == "--mlsd") options.Mlsd = true;
        else if (name == "--resume") options.Resume = true;
        else if (name == "--append") options.Append = true;
        else return "unknown option " + name;
    }
    if (options.Command.empty()) return "no command given";
    const auto shape = Commands().find(options.Command);
    if (shape == Commands().end()) return "unknown command " + options.Command;
    if (options.Operands.size() < shape->second.minOperands || options.Operands.size() > shape->second.maxOperands) {
        return "wrong number of operands for " + options.Command;
    }
    if (options.Resume && options.Append) return "--resume and --append exclude each other";
    if (options.Resume && options.Command != "get" && options.Command != "put") return "--resume is for get and put";
    if (options.Append && options.Command != "put") return "--append is for put";
    if (options.Mlsd && options.Command != "ls" && options.Command != "parse-listing") return "--mlsd is for ls and parse-listing";
    return {};
}

std::string FtpUsageText() {
    return "usage: lunaro-ftp COMMAND OPERANDS [OPTIONS]\n"
           "  ls URL [--mlsd] [--format=table|tsv]   list a folder\n"
           "  get URL [FILE] [--resume]               download (FILE.part until complete)\n"
           "  put FILE URL [--resume | --append]      upload\n"
           "  mkdir URL | rmdir URL | rm URL          make or remove a folder, remove a file\n"
           "  mv URL NEWPATH                          rename on the server\n"
           "  size URL | pwd URL                      file size, current folder\n"
           "  parse-listing [--mlsd] FILE             parse a saved raw listing\n"
           "URL: ftp://[user[:pass]@]host[:port]/path\n"
           "options: --user=U --pass=P --active --no-epsv --trust-pasv-address --timeout=MS\n"
           "         --fw-host=H --fw-port=P --fw-user=U --fw-pass=P --fw-mode=N (0..8)\n"
           "exit status: 0 done, 1 the server refused (its reply is printed), 2 connection or usage error\n";
}

}  // namespace lunaro::ftpcli

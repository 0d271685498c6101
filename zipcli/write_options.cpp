#include "zipcli/write_options.h"

namespace lunaro::zipcli {

namespace {

// The option of add alone, or false when arg is not one.
bool AddOption(const std::string& arg, WriteRequest& request) {
    if (arg == "-r") request.recurse = true;
    else if (arg == "-j") request.keepFolders = false;
    else if (arg.size() == 2 && arg[1] >= '0' && arg[1] <= '9') request.level = arg[1] - '0';
    else if (arg.starts_with("--password=")) request.password = arg.substr(11);
    else return false;
    return true;
}

}  // namespace

std::optional<WriteRequest> ParseWriteArgs(WriteCommand command, const std::vector<std::string>& args,
                                           std::string& error) {
    WriteRequest request;
    request.command = command;
    bool haveArchive = false;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg.starts_with("--engine=")) {
                request.engine = arg.substr(9);
                if (request.engine.empty()) return error = "--engine needs a path", std::nullopt;
            } else if (command != WriteCommand::Add || !AddOption(arg, request)) {
                return error = "unknown option " + arg, std::nullopt;
            }
            continue;
        }
        if (!haveArchive) {
            if (arg.empty()) return error = "empty archive name", std::nullopt;
            request.archive = arg;
            haveArchive = true;
        } else if (arg.empty()) {
            return error = "empty name", std::nullopt;
        } else {
            request.names.push_back(arg);
        }
    }
    if (!haveArchive) return error = "no archive named", std::nullopt;
    if (request.password && request.password->empty()) return error = "--password needs a password", std::nullopt;
    if (command == WriteCommand::Rename && request.names.size() != 2)
        return error = "rename takes the entry's name and its new name", std::nullopt;
    if (request.names.empty())
        return error = command == WriteCommand::Add ? "no file named" : "no entry named", std::nullopt;
    return request;
}

}  // namespace lunaro::zipcli

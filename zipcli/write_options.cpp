#include "zipcli/write_options.h"

#include "zipcli/command_words.h"

namespace lunaro::zipcli {

std::optional<WriteRequest> ParseWriteArgs(WriteCommand command, const std::vector<std::string>& args,
                                           std::string& error) {
    WriteRequest request;
    request.command = command;
    auto option = [&](const std::string& arg, bool, const NextWord&) -> std::string {
        if (command != WriteCommand::Add) return "unknown option " + arg;
        if (arg == "-r") request.recurse = true;
        else if (arg == "-j") request.keepFolders = false;
        else if (arg.size() == 2 && arg[1] >= '0' && arg[1] <= '9') request.level = arg[1] - '0';
        else if (arg.starts_with("--password=")) request.password = arg.substr(11);
        else return "unknown option " + arg;
        return "";
    };
    auto word = [&](const std::string& arg) -> std::string {
        if (arg.empty()) return "empty name";
        request.names.push_back(arg);
        return "";
    };
    const std::optional<CommandWords> words = SplitCommandWords(args, option, word, error);
    if (!words) return std::nullopt;
    request.archive = words->archive;
    request.engine = words->engine;
    if (request.password && request.password->empty()) return error = "--password needs a password", std::nullopt;
    if (command == WriteCommand::Rename && request.names.size() != 2)
        return error = "rename takes the entry's name and its new name", std::nullopt;
    if (request.names.empty())
        return error = command == WriteCommand::Add ? "no file named" : "no entry named", std::nullopt;
    return request;
}

}  // namespace lunaro::zipcli

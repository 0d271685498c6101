#pragma once
// The command lines of "lunaro-zip add", "delete" and "rename".
#include <optional>
#include <string>
#include <vector>

namespace lunaro::zipcli {

enum class WriteCommand { Add, Delete, Rename };

struct WriteRequest {
    WriteCommand command = WriteCommand::Add;
    std::string archive;
    // add: the files; delete: the entry specs; rename: the old and new name.
    std::vector<std::string> names;
    std::string engine;  // "" for the driver's own search beside the program
    bool recurse = false;
    bool keepFolders = true;
    int level = 6;
    std::optional<std::string> password;
};

// args are the words after the command name. nullopt (with the reason in
// error) for a command line that cannot be run.
std::optional<WriteRequest> ParseWriteArgs(WriteCommand command, const std::vector<std::string>& args,
                                           std::string& error);

}  // namespace lunaro::zipcli

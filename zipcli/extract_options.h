#pragma once
// The command lines of "lunaro-zip extract" and "lunaro-zip test".
#include <optional>
#include <string>
#include <vector>

namespace lunaro::zipcli {

enum class OverwriteMode { Ask, Always, Never };

struct ExtractRequest {
    bool testOnly = false;
    std::string archive;
    std::string destination;  // "" for the current folder
    bool keepFolders = true;
    OverwriteMode overwrite = OverwriteMode::Ask;
    std::optional<std::string> password;
    std::string engine;  // "" for the driver's own search beside the program
    std::vector<std::string> specs;
    std::vector<std::string> excludes;
};

// args are the words after the command name. nullopt (with the reason in
// error) for a command line that cannot be run.
std::optional<ExtractRequest> ParseExtractArgs(bool testOnly, const std::vector<std::string>& args,
                                               std::string& error);

}  // namespace lunaro::zipcli

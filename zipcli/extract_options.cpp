#include "zipcli/extract_options.h"

#include "zipcli/command_words.h"

namespace lunaro::zipcli {

std::optional<ExtractRequest> ParseExtractArgs(bool testOnly, const std::vector<std::string>& args,
                                               std::string& error) {
    ExtractRequest request;
    request.testOnly = testOnly;
    bool excluding = false;
    bool haveOverwrite = false;
    auto option = [&](const std::string& arg, bool haveArchive, const NextWord& next) -> std::string {
        if (testOnly) return "unknown option " + arg;
        if (arg == "-d") {
            const std::string* folder = next();
            if (!folder || folder->empty()) return "-d needs a folder";
            request.destination = *folder;
        } else if (arg == "-j") {
            request.keepFolders = false;
        } else if (arg == "-o" || arg == "-n") {
            const OverwriteMode mode = arg == "-o" ? OverwriteMode::Always : OverwriteMode::Never;
            if (haveOverwrite && request.overwrite != mode) return "-o and -n exclude each other";
            request.overwrite = mode;
            haveOverwrite = true;
        } else if (arg.starts_with("--password=")) {
            request.password = arg.substr(11);
        } else if (arg == "-x") {
            if (!haveArchive) return "-x comes after the archive";
            excluding = true;
        } else {
            return "unknown option " + arg;
        }
        return "";
    };
    auto word = [&](const std::string& arg) -> std::string {
        if (testOnly) return "test takes one archive";
        if (!arg.empty()) (excluding ? request.excludes : request.specs).push_back(arg);
        return "";
    };
    const std::optional<CommandWords> words = SplitCommandWords(args, option, word, error);
    if (!words) return std::nullopt;
    request.archive = words->archive;
    request.engine = words->engine;
    if (excluding && request.excludes.empty()) return error = "-x needs at least one name", std::nullopt;
    return request;
}

}  // namespace lunaro::zipcli

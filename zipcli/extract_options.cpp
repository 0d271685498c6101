#include "zipcli/extract_options.h"

namespace lunaro::zipcli {

std::optional<ExtractRequest> ParseExtractArgs(bool testOnly, const std::vector<std::string>& args,
                                               std::string& error) {
    ExtractRequest request;
    request.testOnly = testOnly;
    bool haveArchive = false;
    bool excluding = false;
    bool optionsEnded = false;
    bool haveOverwrite = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg.starts_with("--engine=")) {
                request.engine = arg.substr(9);
                if (request.engine.empty()) return error = "--engine needs a path", std::nullopt;
            } else if (testOnly) {
                return error = "unknown option " + arg, std::nullopt;
            } else if (arg == "-d") {
                if (i + 1 >= args.size() || args[i + 1].empty()) return error = "-d needs a folder", std::nullopt;
                request.destination = args[++i];
            } else if (arg == "-j") {
                request.keepFolders = false;
            } else if (arg == "-o" || arg == "-n") {
                const OverwriteMode mode = arg == "-o" ? OverwriteMode::Always : OverwriteMode::Never;
                if (haveOverwrite && request.overwrite != mode) return error = "-o and -n exclude each other", std::nullopt;
                request.overwrite = mode;
                haveOverwrite = true;
            } else if (arg.starts_with("--password=")) {
                request.password = arg.substr(11);
            } else if (arg == "-x") {
                if (!haveArchive) return error = "-x comes after the archive", std::nullopt;
                excluding = true;
            } else {
                return error = "unknown option " + arg, std::nullopt;
            }
            continue;
        }
        if (!haveArchive) {
            if (arg.empty()) return error = "empty archive name", std::nullopt;
            request.archive = arg;
            haveArchive = true;
        } else if (testOnly) {
            return error = "test takes one archive", std::nullopt;
        } else if (!arg.empty()) {
            (excluding ? request.excludes : request.specs).push_back(arg);
        }
    }
    if (!haveArchive) return error = "no archive named", std::nullopt;
    if (excluding && request.excludes.empty()) return error = "-x needs at least one name", std::nullopt;
    return request;
}

}  // namespace lunaro::zipcli

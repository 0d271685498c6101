#include "zipcli/command_words.h"

namespace lunaro::zipcli {

std::optional<CommandWords> SplitCommandWords(
    const std::vector<std::string>& args,
    const std::function<std::string(const std::string& arg, bool haveArchive, const NextWord& next)>& option,
    const std::function<std::string(const std::string& arg)>& word, std::string& error) {
    CommandWords words;
    bool haveArchive = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg.starts_with("--engine=")) {
                words.engine = arg.substr(9);
                if (words.engine.empty()) error = "--engine needs a path";
            } else {
                error = option(arg, haveArchive, [&]() -> const std::string* {
                    return i + 1 < args.size() ? &args[++i] : nullptr;
                });
            }
        } else if (!haveArchive) {
            if (arg.empty()) error = "empty archive name";
            words.archive = arg;
            haveArchive = true;
        } else {
            error = word(arg);
        }
        if (!error.empty()) return std::nullopt;
    }
    if (!haveArchive) return error = "no archive named", std::nullopt;
    return words;
}

}  // namespace lunaro::zipcli

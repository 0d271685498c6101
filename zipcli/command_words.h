#pragma once
// The shape every lunaro-zip command that runs the engine shares on its
// command line: options anywhere until "--", the archive as the first other
// word, then the command's own words; --engine=PATH for all of them.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lunaro::zipcli {

struct CommandWords {
    std::string archive;
    std::string engine;  // "" for the driver's own search beside the program
};

// The word after an option that takes one, or null at the end.
using NextWord = std::function<const std::string*()>;

// option(arg, haveArchive, next) takes a word that starts with '-';
// word(arg) a word after the archive. Each returns why the word cannot be
// taken, or "". nullopt (with the reason in error) at the first refusal.
std::optional<CommandWords> SplitCommandWords(
    const std::vector<std::string>& args,
    const std::function<std::string(const std::string& arg, bool haveArchive, const NextWord& next)>& option,
    const std::function<std::string(const std::string& arg)>& word, std::string& error);

}  // namespace lunaro::zipcli

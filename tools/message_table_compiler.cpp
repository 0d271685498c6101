// lunaro_tablec: builds the archive component's embedded message tables.
//
//   lunaro_tablec --output FILE.cpp --builtin us.txt [--language xx.txt]...
//
// The built-in list becomes the built-in entry; every --language list, in
// the order given, becomes one entry of the language resource. Translations
// are checked against the built-in list so that a table that would misformat
// a message never reaches the program.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/message_tables/embedded_source_writer.h"
#include "tools/message_tables/message_source.h"
#include "tools/message_tables/placeholders.h"
#include "tools/message_tables/table_entry_writer.h"

namespace {

using lunaro::tools::MessageSource;
using lunaro::tools::MessageSourceError;

struct Arguments {
    std::string output;
    std::string builtin;
    std::vector<std::string> languages;
};

Arguments ParseArguments(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) throw MessageSourceError("option " + option + " needs a value");
        const std::string value = argv[++i];
        if (option == "--output") args.output = value;
        else if (option == "--builtin") args.builtin = value;
        else if (option == "--language") args.languages.push_back(value);
        else throw MessageSourceError("unknown option " + option);
    }
    if (args.output.empty() || args.builtin.empty())
        throw MessageSourceError("usage: lunaro_tablec --output FILE --builtin LIST [--language LIST]...");
    return args;
}

MessageSource LoadSource(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw MessageSourceError(path + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return lunaro::tools::ParseMessageSource(text.str(), path);
}

std::vector<uint8_t> LanguageResource(const MessageSource& builtin, const std::vector<std::string>& paths) {
    std::vector<uint8_t> resource;
    std::set<uint16_t> seenIds{builtin.lcid};
    std::set<std::string> seenNames{builtin.name};
    for (const std::string& path : paths) {
        const MessageSource language = LoadSource(path);
        if (!seenIds.insert(language.lcid).second || !seenNames.insert(language.name).second)
            throw MessageSourceError(path + ": language " + language.name + " (" + std::to_string(language.lcid) +
                                     ") is already taken");
        const std::vector<std::string> problems = lunaro::tools::TranslationProblems(builtin, language);
        if (!problems.empty()) {
            std::string all = path + ": translation problems:";
            for (const std::string& problem : problems) all += "\n  " + problem;
            throw MessageSourceError(all);
        }
        const std::vector<uint8_t> entry = lunaro::tools::BuildTableEntry(language);
        resource.insert(resource.end(), entry.begin(), entry.end());
    }
    return resource;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Arguments args = ParseArguments(argc, argv);
        const MessageSource builtin = LoadSource(args.builtin);
        const std::vector<uint8_t> builtinEntry = lunaro::tools::BuildTableEntry(builtin);
        const std::vector<uint8_t> languages = LanguageResource(builtin, args.languages);
        std::ofstream out(args.output, std::ios::binary | std::ios::trunc);
        out << lunaro::tools::EmbeddedTablesSource(builtinEntry, languages);
        out.close();
        if (!out) throw MessageSourceError(args.output + ": cannot be written");
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "lunaro_tablec: " << e.what() << "\n";
        return 1;
    }
}

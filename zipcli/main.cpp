// lunaro-zip: the archive component on the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "zipcli/extract_command.h"
#include "zipcli/list_command.h"
#include "zipcli/write_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: lunaro-zip list [--format=table|tsv] ARCHIVE\n"
    "       lunaro-zip extract [-d DIR] [-j] [-o | -n] [--password=P] [--engine=PATH]\n"
    "                          ARCHIVE [SPEC...] [-x SPEC...]\n"
    "       lunaro-zip test [--engine=PATH] ARCHIVE\n"
    "       lunaro-zip add [-r] [-j] [-0..-9] [--password=P] [--engine=PATH] ARCHIVE FILE...\n"
    "       lunaro-zip delete [--engine=PATH] ARCHIVE SPEC...\n"
    "       lunaro-zip rename [--engine=PATH] ARCHIVE OLD NEW\n"
    "\n"
    "list: lists the entries of a zip archive's directory.\n"
    "  --format=table  a table for people: size, compressed size, date, CRC-32, name (default)\n"
    "  --format=tsv    one line per entry, tab-separated: name, size, compressed size,\n"
    "                  CRC-32 (8 lower-case hex digits), compression method, encrypted (0/1)\n"
    "Names are shown as the archive component decodes them (folders separated by '\\');\n"
    "control characters in names are printed as '?'.\n"
    "Exit status: 0 listed, 1 the archive could not be read, 2 wrong usage.\n"
    "\n"
    "extract: extracts the entries that match a SPEC (wildcards * and ?; all when\n"
    "none is given) and no -x SPEC, into DIR (default: the current folder, which\n"
    "must exist), keeping the entries' folders.\n"
    "  -j            drop the entries' folders\n"
    "  -o            overwrite existing files without asking\n"
    "  -n            never overwrite existing files\n"
    "                (neither: ask on a terminal, otherwise keep them and say so)\n"
    "  --password=P  the password of encrypted entries\n"
    "test: reads and checks every entry without writing anything.\n"
    "  --engine=PATH the extraction engine to use (default: ZipEngine190.dll\n"
    "                beside this program)\n"
    "\n"
    "add: adds the files (wildcards * and ?) to the archive, which is made when it\n"
    "does not exist; an entry of the same name is replaced. Entries keep the\n"
    "files' folders, relative to the current folder.\n"
    "  -r            also everything inside the folders named, empty ones too\n"
    "  -j            drop the folders from the entries' names\n"
    "  -0 .. -9      store (0) or compress, fastest (1) to smallest (9); default 6\n"
    "  --password=P  encrypt the added entries with P\n"
    "delete: deletes the entries that match a SPEC (wildcards * and ?).\n"
    "rename: gives the entry OLD (its exact name) the name NEW.\n"
    "The archive is replaced only once the new one is complete: a failed or\n"
    "interrupted run leaves it as it was.\n"
    "\n"
    "Each skipped or failed name is given on stderr with its reason.\n"
    "Exit status: 0 everything asked for was done, 1 some entries or files were\n"
    "skipped or failed, 2 nothing could be done (the archive cannot be read,\n"
    "the engine cannot be loaded, the destination is missing, wrong usage).\n";

struct WriteEntry {
    const char* name;
    lunaro::zipcli::WriteCommand command;
    int (*run)(const lunaro::zipcli::WriteRequest&, std::FILE*);
};

constexpr WriteEntry kWriteCommands[] = {
    {"add", lunaro::zipcli::WriteCommand::Add, &lunaro::zipcli::RunAdd},
    {"delete", lunaro::zipcli::WriteCommand::Delete, &lunaro::zipcli::RunDelete},
    {"rename", lunaro::zipcli::WriteCommand::Rename, &lunaro::zipcli::RunRename},
};

int Usage(std::FILE* to, int status) {
    std::fputs(kUsage, to);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    using lunaro::zipcli::ListFormat;
    using lunaro::zipcli::ParseWriteArgs;
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return Usage(stdout, 0);
    if (argc >= 2 && (std::strcmp(argv[1], "extract") == 0 || std::strcmp(argv[1], "test") == 0)) {
        const bool testOnly = std::strcmp(argv[1], "test") == 0;
        std::string error;
        const auto request = lunaro::zipcli::ParseExtractArgs(testOnly, std::vector<std::string>(argv + 2, argv + argc), error);
        if (!request) {
            std::fprintf(stderr, "lunaro-zip: %s\n", error.c_str());
            return Usage(stderr, 2);
        }
        return lunaro::zipcli::RunExtract(*request, stdout, stderr);
    }
    for (const auto& [name, command, run] : kWriteCommands) {
        if (argc < 2 || std::strcmp(argv[1], name) != 0) continue;
        std::string error;
        const auto request = ParseWriteArgs(command, std::vector<std::string>(argv + 2, argv + argc), error);
        if (!request) {
            std::fprintf(stderr, "lunaro-zip: %s\n", error.c_str());
            return Usage(stderr, 2);
        }
        return run(*request, stderr);
    }
    if (argc < 2 || std::strcmp(argv[1], "list") != 0) return Usage(stderr, 2);

    ListFormat format = ListFormat::Table;
    std::string archive;
    bool haveArchive = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--format=table") {
            format = ListFormat::Table;
        } else if (arg == "--format=tsv") {
            format = ListFormat::Tsv;
        } else if (arg == "--") {
            if (i + 2 != argc || haveArchive) return Usage(stderr, 2);
            archive = argv[++i];
            haveArchive = true;
        } else if (arg.starts_with("-") || haveArchive) {
            return Usage(stderr, 2);
        } else {
            archive = arg;
            haveArchive = true;
        }
    }
    if (!haveArchive || archive.empty()) return Usage(stderr, 2);
    return lunaro::zipcli::ListArchive(archive, format, stdout, stderr);
}

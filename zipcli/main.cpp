// lunaro-zip: the archive component on the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "zipcli/extract_command.h"
#include "zipcli/list_command.h"

namespace {

constexpr const char* kUsage =
    "usage: lunaro-zip list [--format=table|tsv] ARCHIVE\n"
    "       lunaro-zip extract [-d DIR] [-j] [-o | -n] [--password=P] [--engine=PATH]\n"
    "                          ARCHIVE [SPEC...] [-x SPEC...]\n"
    "       lunaro-zip test [--engine=PATH] ARCHIVE\n"
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
    "Each skipped or failed entry is named on stderr with its reason.\n"
    "Exit status: 0 everything selected was extracted or tested, 1 some entries\n"
    "were skipped or failed, 2 nothing could be done (the archive cannot be read,\n"
    "the engine cannot be loaded, the destination is missing, wrong usage).\n";

int Usage(std::FILE* to, int status) {
    std::fputs(kUsage, to);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    using lunaro::zipcli::ListFormat;
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

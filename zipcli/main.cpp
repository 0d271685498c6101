// lunaro-zip: the archive reader on the command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "zipcli/list_command.h"

namespace {

constexpr const char* kUsage =
    "usage: lunaro-zip list [--format=table|tsv] ARCHIVE\n"
    "\n"
    "Lists the entries of a zip archive's directory.\n"
    "  --format=table  a table for people: size, compressed size, date, CRC-32, name (default)\n"
    "  --format=tsv    one line per entry, tab-separated: name, size, compressed size,\n"
    "                  CRC-32 (8 lower-case hex digits), compression method, encrypted (0/1)\n"
    "Names are shown as the archive component decodes them (folders separated by '\\');\n"
    "control characters in names are printed as '?'.\n"
    "Exit status: 0 listed, 1 the archive could not be read, 2 wrong usage.\n";

int Usage(std::FILE* to, int status) {
    std::fputs(kUsage, to);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    using lunaro::zipcli::ListFormat;
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return Usage(stdout, 0);
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

#pragma once
// The line structure of a private-profile INI file, shared by the reader and
// the writer. Lines are kept byte for byte so a rewrite preserves whatever
// spacing, blank lines and comments other programs put there.
#include <string>
#include <string_view>
#include <vector>

namespace lunaro::platform {

// Splits at LF, dropping a CR before it; a final line break adds no line.
std::vector<std::string> SplitIniLines(std::string_view bytes);

struct IniLine {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    std::string name;   // section or key name, trimmed
    std::string value;  // entry value, trimmed (quotes kept)
};

// "[name]" (name up to the last ']', or the line's end) is a section header;
// a line with '=' is an entry named by the text before it. Leading and
// trailing spaces and tabs never count.
IniLine ClassifyIniLine(std::string_view line);

std::string TrimIniSpace(std::string_view text);

// Where a section and one of its keys sit in a file's lines. Names match
// ignoring ASCII case; the first matching section and key win.
struct IniLocation {
    int header = -1;      // the section's header line, -1 when absent
    int insertAt = -1;    // where a new key goes: after the section's last non-blank line
    int entry = -1;       // the key's line, -1 when absent
};
IniLocation LocateIniEntry(const std::vector<std::string>& lines, std::string_view section, std::string_view key);

}  // namespace lunaro::platform

#include "platform/ini_text.h"

#include "platform/text_case.h"

namespace lunaro::platform {

namespace {

constexpr std::string_view kSpace = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

std::vector<std::string> SplitIniLines(std::string_view bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos) end = bytes.size();
        if (end > start && bytes[end - 1] == '\r') --end;
        lines.emplace_back(bytes.substr(start, end - start));
        start = next;
    }
    return lines;
}

std::string TrimIniSpace(std::string_view text) {
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kSpace);
    return std::string(text.substr(first, last - first + 1));
}

IniLine ClassifyIniLine(std::string_view line) {
    if (line.substr(0, kUtf8Bom.size()) == kUtf8Bom) line.remove_prefix(kUtf8Bom.size());
    IniLine result;
    const std::string trimmed = TrimIniSpace(line);
    if (!trimmed.empty() && trimmed[0] == '[') {
        const size_t close = trimmed.rfind(']');
        const size_t end = close == 0 || close == std::string::npos ? trimmed.size() : close;
        result.kind = IniLine::Kind::Section;
        result.name = TrimIniSpace(std::string_view(trimmed).substr(1, end - 1));
        return result;
    }
    const size_t eq = trimmed.find('=');
    if (eq == std::string::npos) return result;
    result.kind = IniLine::Kind::Entry;
    result.name = TrimIniSpace(std::string_view(trimmed).substr(0, eq));
    result.value = TrimIniSpace(std::string_view(trimmed).substr(eq + 1));
    return result;
}

IniLocation LocateIniEntry(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
    IniLocation where;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const IniLine line = ClassifyIniLine(lines[static_cast<size_t>(i)]);
        if (where.header < 0) {
            if (line.kind == IniLine::Kind::Section && SameTextAscii(line.name, section)) {
                where.header = i;
                where.insertAt = i + 1;
            }
            continue;
        }
        if (line.kind == IniLine::Kind::Section) break;
        if (!TrimIniSpace(lines[static_cast<size_t>(i)]).empty()) where.insertAt = i + 1;
        if (where.entry < 0 && line.kind == IniLine::Kind::Entry && SameTextAscii(line.name, key)) where.entry = i;
    }
    return where;
}

}  // namespace lunaro::platform

#include "platform/ini_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/ini_text.h"
#include "platform/paths.h"

namespace lunaro::platform {

namespace {

std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string Limited(std::string value) {
    if (value.size() > kProfileValueLimit) value.resize(kProfileValueLimit);
    return value;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

bool WritableNames(const std::string& section, const std::string& key, const std::string& value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    return !key.empty() && key[0] != '[' && key.find('=') == std::string::npos;
}

// The current content, "" for a file that does not exist yet, nothing when
// it exists but cannot be read (rewriting it would lose what it holds).
std::optional<std::string> CurrentContent(const std::string& file) {
    std::optional<std::string> bytes = ReadFileBytes(file, kProfileFileLimit);
    if (!bytes && errno == ENOENT) return std::string();
    return bytes;
}

mode_t ModeToKeep(const std::string& file) {
    struct stat st {};
    if (::stat(HostPath(file).c_str(), &st) == 0) return st.st_mode & 07777;
    return 0644;
}

}  // namespace

std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue) {
    const std::optional<std::string> bytes = ReadFileBytes(file, kProfileFileLimit);
    if (!bytes) return Limited(defaultValue);
    const std::vector<std::string> lines = SplitIniLines(*bytes);
    const IniLocation where = LocateIniEntry(lines, TrimIniSpace(section), TrimIniSpace(key));
    if (where.entry < 0) return Limited(defaultValue);
    return Limited(Unquoted(ClassifyIniLine(lines[static_cast<size_t>(where.entry)]).value));
}

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    const std::string sectionName = TrimIniSpace(section);
    const std::string keyName = TrimIniSpace(key);
    if (file.empty() || !WritableNames(sectionName, keyName, value)) {
        errno = EINVAL;
        return false;
    }
    const std::optional<std::string> content = CurrentContent(file);
    if (!content) return false;

    std::vector<std::string> lines = SplitIniLines(*content);
    const IniLocation where = LocateIniEntry(lines, sectionName, keyName);
    if (where.entry >= 0) {
        const std::string storedName = ClassifyIniLine(lines[static_cast<size_t>(where.entry)]).name;
        lines[static_cast<size_t>(where.entry)] = storedName + "=" + value;
    } else if (where.header >= 0) {
        lines.insert(lines.begin() + where.insertAt, keyName + "=" + value);
    } else {
        lines.push_back("[" + sectionName + "]");
        lines.push_back(keyName + "=" + value);
    }

    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return ReplaceFileAtomically(file, bytes, ModeToKeep(file));
}

void WriteProfileStringOrRaise(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value) {
    if (!WriteProfileString(file, section, key, value)) throw EIniFileException("Unable to write to " + file);
}

}  // namespace lunaro::platform

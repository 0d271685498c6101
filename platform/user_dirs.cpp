#include "platform/user_dirs.h"

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/ini_text.h"

namespace lunaro::platform {

namespace {

constexpr size_t kUserDirsFileLimit = 64 * 1024;

// The file is written for a shell: a value is optionally double-quoted, with
// backslash escaping the next character inside the quotes.
std::string ShellUnquoted(const std::string& text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return text;
    std::string out;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == '\\' && i + 2 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::optional<std::string> AbsoluteFolder(std::string value) {
    for (const std::string prefix : {"$HOME", "${HOME}"}) {
        if (value.compare(0, prefix.size(), prefix) == 0 && (value.size() == prefix.size() || value[prefix.size()] == '/')) {
            value = HomeFolder() + value.substr(prefix.size());
            break;
        }
    }
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    if (value.empty() || value[0] != '/') return std::nullopt;
    return value;
}

std::optional<std::string> FromUserDirsFile(const std::string& variable) {
    const auto bytes = ReadFileBytes(UserBaseFolder("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs", kUserDirsFileLimit);
    if (!bytes) return std::nullopt;
    std::optional<std::string> found;
    // Like the shell that sources the file, the last assignment wins.
    for (const std::string& line : SplitIniLines(*bytes)) {
        const std::string trimmed = TrimIniSpace(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const size_t eq = trimmed.find('=');
        if (eq == std::string::npos || trimmed.substr(0, eq) != variable) continue;
        found = AbsoluteFolder(ShellUnquoted(trimmed.substr(eq + 1)));
    }
    return found;
}

}  // namespace

std::optional<std::string> UserDirectory(const std::string& key) {
    const std::string variable = "XDG_" + key + "_DIR";
    if (auto folder = FromUserDirsFile(variable)) return folder;
    return AbsoluteFolder(EnvironmentValue(variable.c_str()));
}

}  // namespace lunaro::platform

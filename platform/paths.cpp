#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <optional>
#include <vector>

#include "platform/environment.h"
#include "platform/text_case.h"

namespace lunaro::platform {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

// The name under which `wanted` exists in `folder`: the exact spelling when
// present, otherwise the first (in byte order, so the choice is stable) entry
// equal to it ignoring case.
std::optional<std::string> ExistingSpelling(const std::string& folder, const std::string& wanted) {
    struct stat st {};
    if (::lstat((folder + "/" + wanted).c_str(), &st) == 0) return wanted;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (SameTextInvariant(name, wanted) && (!best || name < *best)) best = name;
    }
    ::closedir(dir);
    return best;
}

std::string MapDrivePath(const std::string& path) {
    std::vector<std::string> components;
    for (std::string& part : SplitComponents(path.substr(2))) {
        if (part == ".") continue;
        if (part == "..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        components.push_back(std::move(part));
    }
    std::string result = DriveRoot(path[0]);
    bool stillExisting = true;
    for (const std::string& part : components) {
        std::optional<std::string> spelling;
        if (stillExisting) spelling = ExistingSpelling(result.empty() ? "/" : result, part);
        stillExisting = spelling.has_value();
        if (result.empty() || result.back() != '/') result += '/';
        result += spelling ? *spelling : part;
    }
    if (EndsWithSeparator(path) && !components.empty()) result += '/';
    return result;
}

std::string CollapseSeparators(const std::string& path) {
    std::string result;
    result.reserve(path.size());
    for (char c : path) {
        if (c == '\\') c = '/';
        if (c == '/' && !result.empty() && result.back() == '/') continue;
        result += c;
    }
    return result;
}

}  // namespace

bool HasDriveLetter(const std::string& path) { return path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0]); }

std::string DriveRoot(char driveLetter) {
    if (!IsAsciiLetter(driveLetter)) return {};
    const char upper = static_cast<char>(driveLetter & ~0x20);
    const char lower = static_cast<char>(driveLetter | 0x20);
    const std::string variable = std::string("LUNARO_DRIVE_") + upper;
    std::string root = EnvironmentValue(variable.c_str());
    if (root.empty()) root = UserBaseFolder("XDG_DATA_HOME", ".local/share") + "/lunaro/drive_" + lower;
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root;
}

std::string HostPath(const std::string& path) {
    if (HasDriveLetter(path)) return MapDrivePath(path);
    return CollapseSeparators(path);
}

}  // namespace lunaro::platform

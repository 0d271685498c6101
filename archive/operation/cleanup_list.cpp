#include "archive/operation/cleanup_list.h"

#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_case.h"

namespace lunaro::archive {

namespace {

bool IsDelimiter(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string ExpandedFileName(const std::string& name) {
    if (name.empty() || platform::HasDriveLetter(name) || name.rfind("\\\\", 0) == 0) return name;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(name, error);
    if (error) return name;
    return absolute.lexically_normal().string();
}

void TZKCleanupList::Add(const std::string& name, bool always) { entries_.push_back({ExpandedFileName(name), always}); }

bool TZKCleanupList::Remove(const std::string& name) {
    const std::string path = ExpandedFileName(name);
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (platform::SameTextInvariant(it->path, path)) {
            entries_.erase(std::next(it).base());
            return true;
        }
    }
    return false;
}

void TZKCleanupList::Run(bool failed) {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        std::string path = it->path;
        if (path.size() <= 1 || (!it->always && !failed)) continue;
        if (IsDelimiter(path.back())) {
            path.pop_back();
            if (platform::DirectoryExists(path)) ::rmdir(platform::HostPath(path).c_str());
        } else if (platform::FileExists(path)) {
            platform::DeleteFile(path);
        }
    }
    entries_.clear();
}

}  // namespace lunaro::archive

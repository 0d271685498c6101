#include "engine/exec/add_sources.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "archive/directory/fn_match.h"

namespace lunaro::engine {

namespace {

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

std::string Parent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LastPart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string CleanEntryName(const std::string& relative) {
    std::string name;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        const std::string part = relative.substr(start, end - start);
        if (!part.empty() && part != "." && part != "..") name += (name.empty() ? "" : "/") + part;
        start = end + 1;
    }
    return name;
}

namespace {

std::vector<std::string> SortedNames(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) return names;
    while (const dirent* item = ::readdir(dir.get())) {
        const std::string name = item->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class TFinder {
public:
    explicit TFinder(const TAddRequest& request) : fRequest(request) {
        for (const std::string& exclude : request.Excludes) fExcludes.emplace_back(exclude);
    }

    TAddFound Find() {
        for (const std::string& spec : fRequest.Specs) FindSpec(spec);
        return std::move(fFound);
    }

private:
    void FindSpec(const std::string& spec) {
        const bool absolute = !spec.empty() && spec.front() == '/';
        const std::string path = absolute || fRequest.Root.empty() ? spec : fRequest.Root + "/" + spec;
        std::string relative = spec;
        if (absolute && !fRequest.Root.empty() && spec.rfind(fRequest.Root + "/", 0) == 0)
            relative = spec.substr(fRequest.Root.size() + 1);
        const std::string last = LastPart(path);
        if (HasWildcard(last)) {
            const size_t before = fFound.Sources.size();
            Walk(Parent(path), relative.find('/') == std::string::npos ? "" : Parent(relative),
                 archive::TFNPattern(last), fRequest.Recurse);
            if (fFound.Sources.size() == before) fFound.Missing.push_back(spec);
            return;
        }
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            fFound.Missing.push_back(spec);
            return;
        }
        if (S_ISDIR(st.st_mode)) {
            Take(path, relative, st, true);
            if (fRequest.Recurse) Walk(path, relative, archive::TFNPattern("*"), true);
        } else if (S_ISREG(st.st_mode)) {
            Take(path, relative, st, false);
        } else {
            fFound.Unusable.push_back(spec);
        }
    }

    // Files matching pattern in folder (and, with recurse, below it); the
    // folders themselves are walked without following links, so that a link
    // back up cannot make the walk endless.
    void Walk(const std::string& folder, const std::string& relative, const archive::TFNPattern& pattern, bool recurse) {
        for (const std::string& name : SortedNames(folder)) {
            if (!fRequest.Hidden && name.front() == '.') continue;
            const std::string path = folder + "/" + name;
            const std::string childRelative = relative.empty() ? name : relative + "/" + name;
            struct stat st {};
            if (::lstat(path.c_str(), &st) != 0) continue;
            if (S_ISDIR(st.st_mode)) {
                if (!recurse) continue;
                Take(path, childRelative, st, true);
                Walk(path, childRelative, pattern, true);
                continue;
            }
            if (S_ISLNK(st.st_mode) && (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))) continue;
            if (S_ISREG(st.st_mode) && pattern.Matches(name)) Take(path, childRelative, st, false);
        }
    }

    void Take(const std::string& path, const std::string& relative, const struct stat& st, bool folder) {
        if (folder && (!fRequest.FolderEntries || !fRequest.KeepFolders)) return;
        std::string name = CleanEntryName(relative);
        if (!fRequest.KeepFolders) name = LastPart(name);
        if (name.empty()) return;
        if (folder) name += '/';
        for (const auto& exclude : fExcludes)
            if (exclude.Matches(name)) return;
        TAddSource source;
        source.Path = path;
        source.EntryName = std::move(name);
        source.Folder = folder;
        source.Size = folder ? 0 : st.st_size;
        source.ModTime = st.st_mtime;
        source.Mode = st.st_mode;
        source.Device = st.st_dev;
        source.Inode = st.st_ino;
        fFound.Sources.push_back(std::move(source));
    }

    const TAddRequest& fRequest;
    std::vector<archive::TFNPattern> fExcludes;
    TAddFound fFound;
};

}  // namespace

TAddFound FindAddSources(const TAddRequest& request) { return TFinder(request).Find(); }

}  // namespace lunaro::engine

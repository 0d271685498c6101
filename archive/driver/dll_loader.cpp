#include "archive/driver/dll_loader.h"

#include <cstring>
#include <exception>

#include "archive/driver/dll_opr.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/text_case.h"
#include "platform/utf8.h"

namespace lunaro::archive {

namespace {

constexpr size_t kUserTableGrowth = 4;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A leading "." names a place relative to the running program, not to
// whatever the current folder happens to be.
std::string BesideProgram(const std::string& directory) {
    std::string rest = directory;
    if (rest == ".") rest.clear();
    else if (rest.size() >= 2 && IsSeparator(rest[1]) && rest[0] == '.') rest.erase(0, 2);
    return platform::ProgramFolder() + rest;
}

std::string JoinFileName(const std::string& directory, const char* name) {
    const char separator = directory.find('/') != std::string::npos && directory.find('\\') == std::string::npos
                               ? '/' : '\\';
    return directory + separator + name;
}

// The folder that holds the named directory exists (a name without a folder
// part lies in the current folder).
bool ParentExists(const std::string& directory) {
    const std::string parent = platform::ExtractFilePath(directory);
    return parent.empty() || platform::DirectoryExists(parent);
}

}  // namespace

TZKDLLLoader::TZKDLLLoader() = default;

TZKDLLLoader::~TZKDLLLoader() {
    FreeEngine();
    if (deleteEmbeddedAtUnload_) embedded_.DeleteUnpacked();
}

TZKDLLLoader& TZKDLLLoader::Process() {
    static TZKDLLLoader loader;
    return loader;
}

TZKDLLLoader::Use* TZKDLLLoader::Find(const TZKDLLOpr& user) {
    for (Use& use : users_)
        if (use.user == &user) return &use;
    return nullptr;
}

bool TZKDLLLoader::AnyUse() const {
    for (const Use& use : users_)
        if (use.user && use.count > 0) return true;
    return false;
}

int TZKDLLLoader::AttachUser(TZKDLLOpr& user) {
    std::lock_guard guard(lock_);
    int result = 1;
    if (Use* use = Find(user)) {
        result = ++use->count;
    } else {
        Use* free = nullptr;
        for (Use& use : users_)
            if (!use.user && !free) free = &use;
        if (!free) {
            users_.resize(users_.size() + kUserTableGrowth);
            free = &users_[users_.size() - kUserTableGrowth];
        }
        free->user = &user;
        free->count = 1;
    }
    if (IsLoaded()) return result;

    ++loadingDepth_;
    int version = 0;
    if (loadingDepth_ == 1) {
        try {
            version = LoadEngine(user);
        } catch (const std::exception& e) {
            user.ShowExceptionError(e);
            version = -1;
        }
    }
    if (version < ZE_ENGINE_VERSION) {
        if (Use* use = Find(user)) *use = Use{};  // the table may have grown meanwhile
        result = -1;
        if (user.Verbosity() >= 1)
            user.ReportMsg(msg::EngineLoadError, {int64_t{loadError_}, loadErrorText_, loadPath_});
    } else if (user.Verbosity() >= 1) {
        user.ReportMsg(msg::EngineLoaded, {enginePath_});
    }
    --loadingDepth_;
    return result;
}

int TZKDLLLoader::DetachUser(TZKDLLOpr& user) {
    std::lock_guard guard(lock_);
    int remaining = 0;
    if (Use* use = Find(user)) {
        remaining = --use->count;
        if (remaining <= 0) {
            *use = Use{};
            remaining = 0;
        }
    }
    if (loadingDepth_ == 0 && IsLoaded() && !AnyUse()) UnloadEngine(user);
    return remaining;
}

void TZKDLLLoader::UnloadEngine(TZKDLLOpr& user) {
    const std::string path = enginePath_;
    FreeEngine();
    enginePath_.clear();
    if (deleteEmbeddedAtUnload_) {
        embedded_.DeleteUnpacked();
        deleteEmbeddedAtUnload_ = false;
    }
    if (user.Verbosity() >= 1) user.ReportMsg(msg::EngineUnloaded, {path});
}

void TZKDLLLoader::FreeEngine() {
    library_.Free();
    entry_ = EntryPoints{};
    version_ = 0;
    privVersion_ = 0;
    banner_.clear();
}

int TZKDLLLoader::LoadEngine(TZKDLLOpr& user) {
    if (IsLoaded()) return version_;
    std::string directory = user.DLLDirectory();
    while (directory.size() > 1 && IsSeparator(directory.back())) directory.pop_back();
    const std::string& tempDir = user.Snapshot().TempDir;

    if (directory == kEmbeddedEngineDirectory) {
        const std::string unpacked = embedded_.Unpacked(tempDir);
        deleteEmbeddedAtUnload_ = !unpacked.empty();
        if (unpacked.empty()) throw EZipKeeper::CreateResStr(msg::EngineLoadFailed, "ZKResDll");
        LoadEngineFile(user, unpacked, true);
        return version_;
    }
    if (!directory.empty()) {
        if (directory[0] == '.') directory = BesideProgram(directory);
        while (directory.size() > 1 && IsSeparator(directory.back())) directory.pop_back();
        const std::string name = platform::ExtractFileName(directory);
        if (!name.empty() && platform::AsciiUpperCase(platform::ExtractFileExt(name)) == ".DLL") {
            LoadEngineFile(user, directory, true);
            return version_;
        }
        if (!ParentExists(directory)) directory.clear();
    }

    const bool raiseOnFailure = !directory.empty() || !embedded_.Usable();
    const std::string path = directory.empty() ? std::string(kEngineFileName) : JoinFileName(directory, kEngineFileName);
    if (LoadEngineFile(user, path, raiseOnFailure) > 0) return version_;

    const std::string unpacked = embedded_.Unpacked(tempDir);
    if (!unpacked.empty()) {
        deleteEmbeddedAtUnload_ = true;
        if (LoadEngineFile(user, unpacked, false) > 0) return version_;
        embedded_.DeleteUnpacked();
        deleteEmbeddedAtUnload_ = false;
    }
    embedded_.MarkUnusable();
    // Neither file gave an engine: say so, rather than leave the caller
    // with a silent failure and no error.
    throw EZipKeeper::CreateResStr(msg::EngineLoadFailed, path);
}

bool TZKDLLLoader::ResolveEntryPoints() {
    // In this order, stopping at the first export that is missing.
    if (!(entry_.exec = reinterpret_cast<TZE_Exec>(library_.Resolve("ZE_Exec")))) return false;
    if (!(entry_.version = reinterpret_cast<TZE_Version>(library_.Resolve("ZE_Version")))) return false;
    if (!(entry_.privVersion = reinterpret_cast<TZE_PrivVersion>(library_.Resolve("ZE_PrivVersion")))) return false;
    if (!(entry_.abort = reinterpret_cast<TZE_Abort>(library_.Resolve("ZE_Abort")))) return false;
    if (!(entry_.name = reinterpret_cast<TZE_Name>(library_.Resolve("ZE_Name")))) return false;
    if (!(entry_.banner = reinterpret_cast<TZE_Banner>(library_.Resolve("ZE_Banner")))) return false;
    entry_.path = reinterpret_cast<TZE_Path>(library_.Resolve("ZE_Path"));  // resolved, never called
    return true;
}

int TZKDLLLoader::LoadEngineFile(TZKDLLOpr& user, const std::string& path, bool raiseOnFailure) {
    FreeEngine();
    loadError_ = 0;
    loadErrorText_.clear();
    loadPath_ = path;
    if (OnAdmitLibrary) OnAdmitLibrary(path);
    // Nothing here can pop up a system dialog, so there is no error mode to set.
    if (!library_.Load(path)) {
        loadError_ = library_.LastError();
        loadErrorText_ = library_.LastErrorText();
        if (raiseOnFailure) {
            if (user.Verbosity() >= 1)
                user.ReportMsg(msg::EngineLoadError, {int64_t{loadError_}, loadErrorText_, loadPath_});
            throw EZipKeeper::CreateResStr(msg::EngineLoadFailed, path);
        }
        return 0;
    }
    std::string shownPath = path;
    if (ResolveEntryPoints()) {
        privVersion_ = entry_.privVersion();
        version_ = entry_.version();
        char16_t name[ZE_NAME_BUFFER_CHARS + 1] = {};
        entry_.name(name, ZE_NAME_BUFFER_CHARS, 1);
        name[ZE_NAME_BUFFER_CHARS] = 0;
        const std::u16string_view reported(name);
        if (!reported.empty()) shownPath = enginePath_ = platform::Utf16ToUtf8(reported);
        const char* banner = entry_.banner();
        banner_ = banner ? std::string(banner, ::strnlen(banner, 4096)) : std::string();
    } else {
        version_ = 0;
        privVersion_ = 0;
    }
    if (version_ == ZE_ENGINE_VERSION && privVersion_ >= ZE_MIN_PRIV_VERSION) return privVersion_;

    FreeEngine();
    if (raiseOnFailure) {
        if (user.Verbosity() >= 1) user.ReportMsg(msg::EngineOldOrCorrupt, {loadPath_});
        throw EZipKeeper::CreateResStr(msg::EngineOldOrCorrupt, shownPath);
    }
    return 0;
}

int TZKDLLLoader::Load(TZKDLLOpr& user) {
    std::lock_guard guard(lock_);
    return AttachUser(user) > 0 ? version_ : 0;
}

void TZKDLLLoader::Unload(TZKDLLOpr& user) { DetachUser(user); }

bool TZKDLLLoader::Loaded(const TZKDLLOpr& user) { return UseCount(user) > 0; }

int TZKDLLLoader::UseCount(const TZKDLLOpr& user) {
    std::lock_guard guard(lock_);
    const Use* use = Find(user);
    return use ? use->count : 0;
}

int TZKDLLLoader::Exec(TZKDLLOpr& user, TDLLCommands* rec, std::atomic<uint32_t>& key) {
    struct Release {
        TZKDLLLoader& loader;
        TZKDLLOpr& user;
        std::atomic<uint32_t>& key;
        ~Release() {
            loader.DetachUser(user);
            key.store(0);
        }
    };
    if (AttachUser(user) <= 0) return -1;
    Release release{*this, user, key};
    return entry_.exec(rec);
}

void TZKDLLLoader::Abort(TZKDLLOpr& user, uint32_t key) {
    std::lock_guard guard(lock_);
    const Use* use = Find(user);
    if (use && use->count > 0 && IsLoaded() && entry_.abort) entry_.abort(key);
}

void TZKDLLLoader::Remove(TZKDLLOpr& user) {
    std::lock_guard guard(lock_);
    if (Use* use = Find(user)) *use = Use{};
}

std::string TZKDLLLoader::Path() {
    std::lock_guard guard(lock_);
    return IsLoaded() ? enginePath_ : std::string();
}

std::string TZKDLLLoader::Banner() {
    std::lock_guard guard(lock_);
    return IsLoaded() ? banner_ : std::string();
}

int TZKDLLLoader::Build() {
    std::lock_guard guard(lock_);
    return IsLoaded() ? privVersion_ : 0;
}

std::string TZKDLLLoader::LoadPath() {
    std::lock_guard guard(lock_);
    return loadPath_;
}

int TZKDLLLoader::LoadError() {
    std::lock_guard guard(lock_);
    return loadError_;
}

}  // namespace lunaro::archive

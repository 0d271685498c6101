#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>
#include <set>

#include "archive/trash_can.h"
#include "engine/exec/add_sources.h"
#include "engine/exec/archive_rewrite.h"
#include "engine/exec/entry_facts.h"
#include "engine/exec/entry_selection.h"
#include "engine/exec/new_entries.h"
#include "engine/exec/run_arguments.h"
#include "engine/exec/run_reports.h"
#include "engine/exec/write_runs.h"

namespace lunaro::engine {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// ".gif:.png:" lists the extensions stored as they are.
bool Listed(const std::string& storeList, const std::string& name) {
    const size_t slash = name.find_last_of('/');
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    return storeList.find(Lower(name.substr(dot)) + ":") != std::string::npos;
}

class TAddRun {
public:
    TAddRun(const TDLLCommands& command, TEngineCallbacks& callbacks)
        : fCommand(command), fCallbacks(callbacks), fRewrite(callbacks) {}

    int Execute();

private:
    bool Has(uint32_t bit) const { return (fCommand.fOptions & bit) != 0; }
    // The entries to write, old entries they replace marked in fReplaced;
    // false when the caller stopped the run.
    bool Plan(const TRunArguments& args);
    bool AskPassword(const std::string& archive);
    void RemoveSources(const std::vector<size_t>& written);

    const TDLLCommands& fCommand;
    TEngineCallbacks& fCallbacks;
    TArchiveRewrite fRewrite;
    std::string fRoot;
    std::string fStoreList;
    std::string fPassword;
    std::vector<TNewEntry> fEntries;
    std::set<int> fReplaced;
    std::vector<int> fReplaces;  // per entry: the old entry it takes the place of, or -1
};

bool TAddRun::Plan(const TRunArguments& args) {
    std::map<std::string, int> existing;
    if (fRewrite.HasOld())
        for (int i = 0; i < fRewrite.Old().Count(); ++i)
            existing.emplace(DisplayName(fRewrite.Old().Entry(i)), i);

    TAddRequest request;
    request.Root = fRoot;
    request.Excludes = args.Excludes;
    request.Recurse = Has(ZE_OPT_RECURSE);
    request.KeepFolders = !Has(ZE_OPT_NO_DIR_NAMES);
    request.Hidden = Has(ZE_OPT_HIDDEN);
    request.FolderEntries = !Has(ZE_OPT_NO_EMPTY_DIRS);
    std::vector<TNewEntry> wanted;
    for (const std::string& spec : args.Specs) {
        std::string name;
        if (const std::optional<int> stream = StreamNumber(spec, name)) {
            TNewEntry entry;
            entry.Stream = *stream;
            std::replace(name.begin(), name.end(), '\\', '/');
            entry.Name = CleanEntryName(name);
            if (entry.Name.empty()) {
                if (!SkipItem(fCallbacks, spec, ZE_SKIP_BAD_NAME, ZE_ERR_INVALID_NAME)) return false;
                continue;
            }
            wanted.push_back(std::move(entry));
        } else {
            request.Specs.push_back(spec);
        }
    }
    TAddFound found = FindAddSources(request);
    // The archive itself, met in a walk of its own folder, is not added to itself.
    struct stat self {};
    const bool selfKnown = ::stat(args.Archive.c_str(), &self) == 0;
    for (const std::string& missing : found.Missing)
        if (!SkipItem(fCallbacks, missing, ZE_SKIP_NOT_FOUND, ZE_ERR_NOT_FOUND)) return false;
    for (const std::string& unusable : found.Unusable)
        if (!SkipItem(fCallbacks, unusable, ZE_SKIP_NO_OPEN, ZE_ERR_READ)) return false;
    for (TAddSource& source : found.Sources) {
        if (!source.Folder && fCommand.fDate != 0 && DosDateTime(source.ModTime) < fCommand.fDate) continue;
        if (selfKnown && source.Device == self.st_dev && source.Inode == self.st_ino) continue;
        TNewEntry entry;
        entry.Name = source.EntryName;
        entry.Source = std::move(source);
        wanted.push_back(std::move(entry));
    }

    std::map<std::string, std::string> taken;  // entry name -> the path that has it
    for (TNewEntry& entry : wanted) {
        const auto [at, fresh] = taken.emplace(entry.Name, entry.Source.Path);
        if (!fresh) {
            // The same file reached twice is added once; two files for one name is a clash.
            if (at->second == entry.Source.Path && entry.Stream < 0) continue;
            if (!SkipItem(fCallbacks, entry.Name, ZE_SKIP_DUP_NAME, ZE_ERR_DUP_NAME)) return false;
            continue;
        }
        const auto old = existing.find(entry.Name);
        if (Has(ZE_OPT_UPDATE) || Has(ZE_OPT_FRESHEN)) {
            const bool newer = old == existing.end() || entry.Stream >= 0 ||
                               DosDateTime(entry.Source.ModTime) > fRewrite.Old().Entry(old->second).DateTime();
            if (!newer || (old == existing.end() && !Has(ZE_OPT_UPDATE))) continue;
        }
        fReplaces.push_back(old == existing.end() ? -1 : old->second);
        if (old != existing.end()) fReplaced.insert(old->second);
        const bool stored = fCommand.fLevel <= 0 || entry.Source.Folder || Listed(fStoreList, entry.Name);
        entry.Level = stored ? 0 : std::min(fCommand.fLevel, 9);
        fEntries.push_back(std::move(entry));
    }
    return !fCallbacks.Stopped();
}

bool TAddRun::AskPassword(const std::string& archive) {
    if (!fPassword.empty()) return true;
    const TEngineCallbacks::TReply reply = fCallbacks.Call(zacPassword, {.Text = archive, .Arg1 = 1}, true);
    if (reply.Answer == ZE_PASSWORD_GIVEN) fPassword = reply.Text;
    return !fPassword.empty();
}

void TAddRun::RemoveSources(const std::vector<size_t>& written) {
    std::vector<std::string> folders;
    for (const size_t index : written) {
        const TAddSource& source = fEntries[index].Source;
        if (fEntries[index].Stream >= 0) continue;
        if (source.Folder) {
            folders.push_back(source.Path);
            continue;
        }
        char resolved[PATH_MAX];
        if (Has(ZE_OPT_ALLOW_UNDO) && ::realpath(source.Path.c_str(), resolved) &&
            archive::MoveToTrash(resolved) == 0)
            continue;
        ::unlink(source.Path.c_str());
    }
    // Deepest first; a folder that still holds something stays.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) ::rmdir(folder->c_str());
}

int TAddRun::Execute() {
    std::optional<TRunArguments> args = FetchRunArguments(fCallbacks, false);
    if (fCallbacks.Stopped()) return fCallbacks.StopCode();
    if (!args) return FailRun(fCallbacks, ZE_ERR_NOT_FOUND, "no archive named");
    fRoot = fCallbacks.Argument(ZE_ARG_ROOT_DIR).value_or("");
    while (fRoot.size() > 1 && fRoot.back() == '/') fRoot.pop_back();
    fStoreList = Lower(fCallbacks.Argument(ZE_ARG_STORE_LIST).value_or(""));
    const std::string comment = fCallbacks.Argument(ZE_ARG_COMMENT).value_or("");
    fPassword = args->Password;
    if (fCallbacks.Stopped()) return fCallbacks.StopCode();

    std::string error;
    if (const int failed = fRewrite.Open(args->Archive, false, error); failed != 0)
        return FailRun(fCallbacks, failed, error);
    if (!Plan(*args)) return fCallbacks.StopCode();
    if (fEntries.empty()) return 0;
    if (Has(ZE_OPT_ENCRYPT) && !AskPassword(args->Archive)) {
        if (fCallbacks.Stopped()) return fCallbacks.StopCode();
        return FailRun(fCallbacks, ZE_ERR_PASSWORD_CANCELLED, "no password to encrypt with");
    }

    int64_t total = 0;
    for (const TNewEntry& entry : fEntries) total += entry.Source.Size;
    fCallbacks.Report(zacCount, {.Arg1 = static_cast<uint32_t>(fEntries.size())});
    fCallbacks.Report(zacSize, {.FileSize = total});
    const auto kept = [&](int i) {
        return fReplaced.count(i) ? std::nullopt : std::optional<TEntryChange>(TEntryChange{});
    };
    if (const int result = fRewrite.Begin(kept); result != 0) return result;
    int64_t newest = 0;
    for (int i = 0; fRewrite.HasOld() && i < fRewrite.Old().Count(); ++i)
        if (!fReplaced.count(i)) newest = std::max(newest, EntryModTime(fRewrite.Old().Entry(i)).value_or(0));
    TNewEntryOptions options;
    if (Has(ZE_OPT_ENCRYPT)) options.Password = fPassword;
    options.PreferOem = fCommand.fEncodedAs == 2;
    const std::optional<std::vector<size_t>> written =
        WriteNewEntries(fCommand, fCallbacks, fEntries, options, fRewrite.Output(), error);
    if (!written) return fCallbacks.Stopped() ? fCallbacks.StopCode() : FailRun(fCallbacks, ZE_ERR_WRITE, error);
    if (written->empty()) return 0;  // every file was skipped: the archive stays as it was
    // An old entry whose new file could not be read stays as it was.
    const std::set<size_t> done(written->begin(), written->end());
    for (size_t i = 0; i < fEntries.size(); ++i)
        if (fReplaces[i] >= 0 && !done.count(i))
            if (const int result = fRewrite.CopyOld(fReplaces[i]); result != 0) return result;
    for (const size_t index : *written) newest = std::max(newest, fEntries[index].Source.ModTime);

    const std::optional<int64_t> archiveTime =
        Has(ZE_OPT_ZIP_TIME) && newest > 0 ? std::optional<int64_t>(newest) : std::nullopt;
    if (const int result = fRewrite.Commit(comment.empty() ? fRewrite.OldComment() : comment, archiveTime); result != 0)
        return result;
    if (Has(ZE_OPT_MOVE)) RemoveSources(*written);
    return static_cast<int32_t>(written->size());
}

}  // namespace

int32_t RunAdd(const TDLLCommands& command, TEngineCallbacks& callbacks) { return TAddRun(command, callbacks).Execute(); }

}  // namespace lunaro::engine

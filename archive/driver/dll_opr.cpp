#include "archive/driver/dll_opr.h"

#include <algorithm>

#include "archive/driver/dll_loader.h"
#include "archive/driver/engine_result.h"
#include "archive/driver/entry_names.h"
#include "archive/driver/store_suffixes.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "archive/reader/zip_file.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace lunaro::archive {

namespace {

constexpr uint32_t kMaxPasswordRequests = 15;

bool Has(TZKExtrOpts options, TZKExtrOptsEnum member) { return options.Contains(member); }

}  // namespace

TZKDLLOpr::TZKDLLOpr(TZKMaster& master, TZKDLLLoader* loader)
    : TZKWorker(master), loader_(loader ? *loader : TZKDLLLoader::Process()) {}

TZKDLLOpr::~TZKDLLOpr() {
    fDestructing = true;
    AbortDLL();
    loader_.Remove(*this);
}

void TZKDLLOpr::StartUp() {
    TZKWorker::StartUp();
    fDestructing = false;
    const TZKSettings& from = Master().Settings;
    static_cast<TZKEngineSettings&>(*this) = from;
    PasswordReqCount = std::min(from.PasswordReqCount, kMaxPasswordRequests);
    ExtAddStoreList = ExtensionList(from.ExtAddStoreSuffixes);
    if (ExtAddStoreList.empty()) AddStoreSuffixes.Exclude(TZKAddStoreSuffixEnum::assEXT);
    else AddStoreSuffixes.Include(TZKAddStoreSuffixEnum::assEXT);
    fDLLDirectory = from.DLLDirectory;
}

void TZKDLLOpr::Clear() {
    fDestructing = true;
    AbortDLL();
    TZKWorker::Clear();
    Password.clear();
    PasswordReqCount = 1;
    AddCompLevel = 9;
    AddStoreSuffixes = DefaultAddStoreSuffixes();
    ZipStream.Clear();
    Pipes.clear();
    fDestructing = false;
}

void TZKDLLOpr::Kill() {
    fDestructing = true;
    AbortDLL();
    TZKWorker::Kill();
}

void TZKDLLOpr::AbortDLL() {
    if (const uint32_t key = fDLLOperKey.load(); key != 0) loader_.Abort(*this, key);
}

bool TZKDLLOpr::DLL_Load() { return loader_.Loaded(*this); }

void TZKDLLOpr::SetDLL_Load(bool value) {
    if (value && !fDidLoad) {
        fDidLoad = loader_.Load(*this) > 0;
    } else if (!value && fDidLoad) {
        loader_.Unload(*this);
        fDidLoad = false;
    }
}

std::string TZKDLLOpr::DLL_Version(bool load) {
    const bool took = load && loader_.Load(*this) > 0;
    const std::string version = FormatEngineVersion(loader_.Build());
    if (took) loader_.Unload(*this);
    return version;
}

std::string TZKDLLOpr::DLL_Path() { return loader_.Path(); }

int TZKDLLOpr::DLL_Build() { return loader_.Build(); }

std::unique_ptr<TDLLCommands> TZKDLLOpr::BuildCommand(const std::string& target) {
    fDLLTargetName = target;
    auto rec = std::make_unique<TDLLCommands>();  // zero-filled
    const TZKOperationSettings& settings = Snapshot();
    rec->fVersion = ZE_ENGINE_VERSION;
    rec->fCaller = this;
    rec->ZCallbackFunc = &ZCallbackFunc;
    rec->ZStreamFunc = &ZStreamFunc;
    rec->fEncodedAs = static_cast<uint32_t>(settings.Encoding);
    rec->fFromPage = settings.Encoding_CP;
    rec->fVerbosity = settings.Verbosity >= 2 ? -1 : settings.Verbosity;
    rec->fHandle = settings.Unattended ? 0 : settings.Handle;
    rec->fSS = nullptr;
    rec->fOptions = ZE_OPT_ALWAYS;
    return rec;
}

std::unique_ptr<TDLLCommands> TZKDLLOpr::BuildExtractCommand(const std::string& target) {
    auto rec = BuildCommand(target);
    uint32_t options = rec->fOptions;
    options |= Has(ExtrOptions, TZKExtrOptsEnum::ExtrTest) ? ZE_OPT_TEST : ZE_OPT_EXTRACT;
    if (Has(ExtrOptions, TZKExtrOptsEnum::ExtrDirNames)) options |= ZE_OPT_DIR_NAMES;
    if (Has(ExtrOptions, TZKExtrOptsEnum::ExtrOverWrite)) options |= ZE_OPT_OVERWRITE;
    if (Has(ExtrOptions, TZKExtrOptsEnum::ExtrUpdate)) options |= ZE_OPT_UPDATE;
    else if (Has(ExtrOptions, TZKExtrOptsEnum::ExtrFreshen)) options |= ZE_OPT_FRESHEN;
    if (Has(ExtrOptions, TZKExtrOptsEnum::ExtrNTFS)) options |= ZE_OPT_NTFS;
    rec->fOptions = options;
    rec->fPwdReqCount = PasswordReqCount;
    rec->fCheck = ZE_COMMAND_CHECK;
    return rec;
}

int TZKDLLOpr::ExecEngine(TDLLCommands& rec) {
    int result;
    try {
        result = loader_.Exec(*this, &rec, fDLLOperKey);
    } catch (...) {
        result = -ZE_ERR_FATAL;
    }
    fDLLOperKey.store(0);
    CheckEngineResult(result);
    return result;
}

void TZKDLLOpr::PipesToSpecs(bool adding) {
    for (size_t i = 0; i < Pipes.size(); ++i) {
        std::string name = Pipes[i].FileName;
        if (name.empty()) name = "#stream" + std::to_string(i) + "#";
        // An added pipe names the entry it becomes.
        if (adding) {
            FSpecArgs.push_back(std::to_string(i) + ":" + NewEntryName(name, false));
            continue;
        }
        if (name.find_first_of(":*?\"<>|") != std::string::npos || name.find('\0') != std::string::npos)
            throw EZipKeeper::CreateResDisp(msg::InvalidFileName, true);
        name.erase(0, name.find_first_not_of('\\') == std::string::npos ? name.size() : name.find_first_not_of('\\'));
        FSpecArgs.push_back(std::to_string(i) + ":" + name);
    }
}

std::unique_ptr<TDLLCommands> TZKDLLOpr::BuildRunCommand(TZKRunKind kind, const std::string& target) {
    switch (kind) {
        case TZKRunKind::Extract: return BuildExtractCommand(target);
        case TZKRunKind::Add: return BuildAddCommand(target);
        case TZKRunKind::Delete: return BuildDeleteCommand(target);
        case TZKRunKind::Rename: return BuildRenameCommand(target, fRenameDate);
        case TZKRunKind::Comment: {
            auto rec = BuildRenameCommand(target, 0);
            rec->fOptions |= ZE_OPT_COMMENT;
            return rec;
        }
    }
    throw EZipKeeper::CreateResDisp(msg::InternalError, true);
}

void TZKDLLOpr::Extract() { Run(TZKRunKind::Extract, {}); }

void TZKDLLOpr::Run(TZKRunKind kind, const std::function<void()>& prepare) {
    // What a run names for itself lasts for that run only, however it ends.
    struct Forget {
        TZKDLLOpr& opr;
        ~Forget() {
            opr.fRunSpecs.reset();
            opr.fNewComment.reset();
            opr.Automatic = AutoStream{};
        }
    } forget{*this};
    try {
        RunEngine(kind, prepare);
    } catch (EZipKeeper& e) {
        if (!EventError.empty()) e.SetMessage(e.Message() + EventError);
        ShowExceptionError(e);
        SetSuccessCnt(0);
    }
}

bool TZKDLLOpr::NeedsReread() {
    const TZKZipFile* loaded = CentralDir().CurrentIfAny();
    return CentralDir().Count() == 0 || (loaded != nullptr && loaded->OpenRet() < 0);
}

bool TZKDLLOpr::ReadyToExtract() {
    if (!ReadEntries(msg::ZipFileNotOpened)) return false;
    if (!ExtrBaseDir.empty() && !Has(ExtrOptions, TZKExtrOptsEnum::ExtrTest)) {
        // The engine gets the folder as this system names it, with a
        // trailing separator.
        std::string folder = platform::HostPath(ExtrBaseDir);
        if (folder.empty() || folder.back() != '/') folder += '/';
        if (Has(ExtrOptions, TZKExtrOptsEnum::ExtrForceDirs)) platform::ForceDirectories(folder);
        if (!platform::DirectoryExists(folder)) throw EZipKeeper::CreateResStr(msg::ExtractDirMustExist, folder);
        ExtrBaseDir = folder;
    }
    return true;
}

bool TZKDLLOpr::ReadEntries(int emptyIdent) {
    // A damaged directory leaves the entries read before the damage: they
    // are not the archive, so it is loaded again, to report why.
    if (!NeedsReread()) return true;
    if (List() < 0) return false;
    if (CentralDir().Count() != 0) return true;
    if (ErrCode() == 0) throw EZipKeeper::CreateResDisp(emptyIdent, true);
    return false;
}

void TZKDLLOpr::RunEngine(TZKRunKind kind, const std::function<void()>& prepare) {
    SetSuccessCnt(0);
    ClearError();
    const uint32_t requestCount = PasswordReqCount;
    SetCancel(0);

    if (ZipFileName().empty()) throw EZipKeeper::CreateResDisp(msg::NoZipFileSpecified, true);
    if (prepare) prepare();
    if (!(kind == TZKRunKind::Extract ? ReadyToExtract() : ReadyToWrite(kind))) return;
    // Joining or writing the parts of a spanned archive is not available:
    // refuse it plainly instead of handing the engine one part.
    if (const TZKZipFile* zip = CentralDir().CurrentIfAny(); zip && zip->IsMultiPart())
        throw EZipKeeper::CreateResDisp(msg::SpanningNotSupported, true);
    const std::string target = platform::HostPath(ZipFileName());

    if (loader_.Load(*this) <= 0) return;  // the loader has reported why
    // The patterns are consumed only when the engine saw them; a run
    // with patterns of its own leaves the caller's as they were.
    struct GiveBack {
        TZKDLLOpr& opr;
        uint32_t requestCount;
        std::vector<std::string> specs;
        std::vector<std::string> excluded;
        bool called = false;
        ~GiveBack() {
            opr.loader_.Unload(opr);
            if (called && !opr.fRunSpecs) {
                opr.FSpecArgs.clear();
            } else {
                opr.FSpecArgs = std::move(specs);
                opr.FSpecArgsExcl = std::move(excluded);
            }
            opr.Pipes.clear();
            opr.PasswordReqCount = requestCount;
        }
    } giveBack{*this, requestCount, FSpecArgs, FSpecArgsExcl};

    if (fRunSpecs) {
        FSpecArgs = *fRunSpecs;
        FSpecArgsExcl.clear();
    } else if (kind == TZKRunKind::Extract || kind == TZKRunKind::Add) {
        PipesToSpecs(kind == TZKRunKind::Add);
    }
    std::unique_ptr<TDLLCommands> rec = BuildRunCommand(kind, target);
    EventError.clear();
    if (kind == TZKRunKind::Extract && Unattended() && Password.empty() && !Master().OnPasswordError)
        ReportMessage(0, ZipLoadStr(msg::UnattendedExtractIncomplete));
    giveBack.called = true;
    SetSuccessCnt(ExecEngine(*rec));
    if (kind != TZKRunKind::Extract && SuccessCnt() > 0) RereadAfterWrite();
}

}  // namespace lunaro::archive

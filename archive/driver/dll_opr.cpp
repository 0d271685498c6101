#include "archive/driver/dll_opr.h"

#include <algorithm>

#include "archive/driver/dll_loader.h"
#include "archive/driver/engine_result.h"
#include "archive/driver/store_suffixes.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
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

void TZKDLLOpr::PipesToSpecs() {
    for (size_t i = 0; i < Pipes.size(); ++i) {
        std::string name = Pipes[i].FileName;
        if (name.empty()) name = "#stream" + std::to_string(i) + "#";
        if (name.find_first_of(":*?\"<>|") != std::string::npos || name.find('\0') != std::string::npos)
            throw EZipKeeper::CreateResDisp(msg::InvalidFileName, true);
        name.erase(0, name.find_first_not_of('\\') == std::string::npos ? name.size() : name.find_first_not_of('\\'));
        FSpecArgs.push_back(std::to_string(i) + ":" + name);
    }
}

void TZKDLLOpr::Extract() {
    try {
        RunExtract();
    } catch (EZipKeeper& e) {
        if (!EventError.empty()) e.SetMessage(e.Message() + EventError);
        ShowExceptionError(e);
        SetSuccessCnt(0);
    }
}

void TZKDLLOpr::RunExtract() {
    SetSuccessCnt(0);
    ClearError();
    const uint32_t requestCount = PasswordReqCount;
    SetCancel(0);

    if (ZipFileName().empty()) throw EZipKeeper::CreateResDisp(msg::NoZipFileSpecified, true);
    // A damaged directory leaves the entries read before the damage: they
    // are not the archive, so it is loaded again, to report why.
    const TZKZipFile* loaded = CentralDir().CurrentIfAny();
    if (CentralDir().Count() == 0 || (loaded != nullptr && loaded->OpenRet() < 0)) {
        if (List() < 0) return;
        if (CentralDir().Count() == 0) {
            if (ErrCode() == 0) throw EZipKeeper::CreateResDisp(msg::ZipFileNotOpened, true);
            return;
        }
    }
    if (!ExtrBaseDir.empty() && !Has(ExtrOptions, TZKExtrOptsEnum::ExtrTest)) {
        // The engine gets the folder as this system names it, with a
        // trailing separator.
        std::string folder = platform::HostPath(ExtrBaseDir);
        if (folder.empty() || folder.back() != '/') folder += '/';
        if (Has(ExtrOptions, TZKExtrOptsEnum::ExtrForceDirs)) platform::ForceDirectories(folder);
        if (!platform::DirectoryExists(folder)) throw EZipKeeper::CreateResStr(msg::ExtractDirMustExist, folder);
        ExtrBaseDir = folder;
    }
    // Joining the parts of a spanned archive is not available: refuse it
    // plainly instead of handing the engine one part.
    if (const TZKZipFile* zip = CentralDir().CurrentIfAny(); zip && zip->IsMultiPart())
        throw EZipKeeper::CreateResDisp(msg::SpanningNotSupported, true);
    const std::string target = platform::HostPath(ZipFileName());

    if (loader_.Load(*this) <= 0) return;  // the loader has reported why
    struct GiveBack {
        TZKDLLOpr& opr;
        uint32_t requestCount;
        ~GiveBack() {
            opr.loader_.Unload(opr);
            opr.FSpecArgs.clear();
            opr.Pipes.clear();
            opr.PasswordReqCount = requestCount;
        }
    } giveBack{*this, requestCount};

    PipesToSpecs();
    std::unique_ptr<TDLLCommands> rec = BuildExtractCommand(target);
    EventError.clear();
    if (Unattended() && Password.empty() && !Master().OnPasswordError)
        ReportMessage(0, ZipLoadStr(msg::UnattendedExtractIncomplete));
    SetSuccessCnt(ExecEngine(*rec));
}

}  // namespace lunaro::archive

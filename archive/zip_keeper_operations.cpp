// The component's operations: those that run through the engine or read
// the directory inside the admission frame, the lookups over the directory
// and the small file helpers.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>

#include "archive/directory/fn_match.h"
#include "archive/messages/message_catalog.h"
#include "archive/messages/zip_dialog_box.h"
#include "archive/messages/message_ids.h"
#include "archive/reader/zip_file.h"
#include "archive/trash_can.h"
#include "archive/zip_keeper.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace lunaro::archive {

namespace fs = std::filesystem;

int TCustomZipKeeper::Extract() {
    RunAdmitted([this] { fOpr->Extract(); });
    return ErrCode();
}

int TCustomZipKeeper::Add() {
    RunAdmitted([this] { fOpr->Add(); });
    return ErrCode();
}

int TCustomZipKeeper::AddStreamToFile(const std::string& FileName, uint32_t FileDate, uint32_t FileAttr) {
    RunAdmitted([&] { fOpr->AddStreamToFile(FileName, FileDate, FileAttr); });
    return ErrCode();
}

int TCustomZipKeeper::Delete() {
    RunAdmitted([this] { fOpr->Delete(); });
    return ErrCode();
}

int TCustomZipKeeper::Rename(const TZKRenameList& RenameList, uint32_t DateTime) {
    RunAdmitted([&] { fOpr->Rename(RenameList, DateTime); });
    return ErrCode();
}

int TCustomZipKeeper::List() {
    RunAdmitted([this] { fOpr->List(); });
    return ErrCode();
}

void TCustomZipKeeper::Clear() {
    fOpr->Clear();
    fReentry = false;
}

void TCustomZipKeeper::AbortDLL() { fOpr->AbortDLL(); }

platform::TStream* TCustomZipKeeper::ExtractFileToStream(const std::string& FileName) {
    platform::TStream* result = nullptr;
    RunAdmitted([&] {
        fOpr->ZipStream.Clear();
        fOpr->FSpecArgs.clear();
        fOpr->Pipes.assign(1, TZKPipe{&fOpr->ZipStream, FileName, {}});
        fOpr->Extract();
        if (fOpr->ErrCode() == 0 && fOpr->SuccessCnt() == 1) {
            fOpr->ZipStream.SetPosition(0);
            result = &fOpr->ZipStream;
        }
    });
    return result;
}

platform::TStream* TCustomZipKeeper::ZipStream() { return &fOpr->ZipStream; }

std::vector<TZKPipe>& TCustomZipKeeper::Pipes() { return fOpr->Pipes; }

std::string TCustomZipKeeper::DLL_Path() { return fOpr->DLL_Path(); }

int TCustomZipKeeper::DLL_Build() { return fOpr->DLL_Build(); }

std::string TCustomZipKeeper::DLL_Version() { return fOpr->DLL_Version(false); }

std::string TCustomZipKeeper::FullVersionString() {
    return "Component " + Version() + ", engine " + fOpr->DLL_Version(true);
}

// ---- the directory -------------------------------------------------------

int TCustomZipKeeper::Count() { return Usable() ? fOpr->CentralDir().Count() : 0; }

int TCustomZipKeeper::DirOnlyCnt() { return Usable() ? fOpr->CentralDir().DirOnlyCount() : 0; }

TZKDirEntry* TCustomZipKeeper::DirEntry(int i) { return Usable() ? fOpr->CentralDir().Items(i) : nullptr; }

int TCustomZipKeeper::IndexOf(const std::string& FName) {
    int idx = -1;
    return Find(FName, idx) ? idx : -1;
}

TZKDirEntry* TCustomZipKeeper::Find(const std::string& fspec, int& idx) {
    const int count = Count();
    for (int i = std::max(idx, -1) + 1; i < count; ++i) {
        TZKDirEntry* entry = fOpr->CentralDir().Items(i);
        if (entry && FNMatch(fspec, entry->FileName())) {
            idx = i;
            return entry;
        }
    }
    idx = -1;
    return nullptr;
}

int64_t TCustomZipKeeper::ZipFileSize() { return fOpr->CentralDir().ZipFileSize(); }
int64_t TCustomZipKeeper::ZipEOC() { return fOpr->CentralDir().EOCOffset(); }
int64_t TCustomZipKeeper::ZipSOC() { return fOpr->CentralDir().SOCOffset(); }
int64_t TCustomZipKeeper::SFXOffset() { return fOpr->CentralDir().SFXOffset(); }
bool TCustomZipKeeper::IsSpanned() { return fOpr->CentralDir().MultiDisk(); }

int TCustomZipKeeper::ForEach(const std::function<int(TZKDirEntry& entry)>& Func) {
    int visited = 0;
    RunAdmitted([&] {
        const std::vector<std::string>& want = fOpr->FSpecArgs;
        const std::vector<std::string>& reject = fOpr->FSpecArgsExcl;
        auto matches = [](const std::vector<std::string>& specs, const std::string& name) {
            return std::any_of(specs.begin(), specs.end(), [&](const std::string& s) { return FNMatch(s, name); });
        };
        for (int i = 0; i < fOpr->CentralDir().Count(); ++i) {
            TZKDirEntry* entry = fOpr->CentralDir().Items(i);
            if (!entry) continue;
            const std::string name = entry->FileName();
            if ((!want.empty() && !matches(want, name)) || matches(reject, name)) continue;
            ++visited;
            if (Func(*entry) != 0) break;
        }
    });
    return ErrCode() != 0 ? ErrCode() : visited;
}

// ---- files ---------------------------------------------------------------

int TCustomZipKeeper::QueryZip(const std::string& FName) {
    try {
        TZKZipFile probe(*fOpr);
        probe.SetFileName(FName);
        const int result = probe.Open(true, false);
        probe.File_Close();
        return result;
    } catch (const EZKException& e) {
        return -e.ResId();
    }
}

std::string TCustomZipKeeper::AppendSlash(const std::string& path) {
    if (!path.empty() && (path.back() == '\\' || path.back() == '/')) return path;
    return path + "\\";
}

std::string TCustomZipKeeper::MakeTempFileName(const std::string& Prefix, const std::string& Extension) {
    std::error_code ec;
    const fs::path folder = Settings.TempDir.empty() ? fs::temp_directory_path(ec) : fs::path(platform::HostPath(Settings.TempDir));
    std::random_device seed;
    std::mt19937 random(seed());
    const std::string prefix = Prefix.empty() ? "zk" : Prefix;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const fs::path candidate = folder / (prefix + std::to_string(::getpid()) + "_" +
                                             std::to_string(random() % 1000000) + Extension);
        if (!fs::exists(candidate, ec)) return candidate.string();
    }
    return "";
}

int TCustomZipKeeper::EraseFile(const std::string& FName, TZKDeleteOpts How) {
    std::error_code ec;
    fs::path path = platform::HostPath(FName);
    if (!path.has_parent_path()) path = fs::current_path(ec) / path;
    if (!fs::exists(fs::symlink_status(path, ec))) return -1;
    if (How == TZKDeleteOpts::htdAllowUndo) return MoveToTrash(path.string());
    return fs::remove(path, ec) ? 0 : (ec ? ec.value() : ENOENT);
}

int TCustomZipKeeper::Copy_File(const std::string& InFileName, const std::string& OutFileName) {
    RunAdmitted([&] {
        const std::string from = platform::HostPath(InFileName);
        const std::string to = platform::HostPath(OutFileName);
        const std::string partial = to + ".zkpart";
        std::error_code ec;
        fs::copy_file(from, partial, fs::copy_options::overwrite_existing, ec);
        if (!ec) fs::rename(partial, to, ec);
        if (ec) {
            fs::remove(partial, ec);
            throw EZipKeeper::CreateRes2Str(msg::CopyFileFailed, InFileName, OutFileName);
        }
    });
    return ErrCode();
}

// ---- what this build cannot do ---------------------------------------------

EZipKeeper TCustomZipKeeper::UnavailableError(const std::string& operation, const char* reason) {
    return EZipKeeper(operation + " is not available: " + reason, kOperationNotAvailable, true);
}

int TCustomZipKeeper::Unavailable(const std::string& operation, const char* reason) {
    RunAdmitted([&] { throw UnavailableError(operation, reason); });
    return ErrCode();
}

namespace {

constexpr const char* kNoSelfExtractors = "this build makes and reads no self-extracting archives";
constexpr const char* kNoSpans = "this build does not split archives into parts or join them";
constexpr const char* kNoCopies = "this build does not copy entries from one archive to another";

}  // namespace

int TCustomZipKeeper::AddZippedFiles(TCustomZipKeeper*) { return Unavailable("AddZippedFiles", kNoCopies); }
int TCustomZipKeeper::CopyZippedFiles(TCustomZipKeeper* Destination, bool) {
    if (!Destination) {
        RunAdmitted([] { throw EZipKeeper::CreateResDisp(msg::NoDestination, true); });
        return ErrCode();
    }
    return Unavailable("CopyZippedFiles", kNoCopies);
}
int TCustomZipKeeper::ChangeFileDetails() {
    return Unavailable("ChangeFileDetails", "this build does not change the details of stored entries");
}
int TCustomZipKeeper::ConvertToSFX() { return Unavailable("ConvertToSFX", kNoSelfExtractors); }
int TCustomZipKeeper::ConvertToSpanSFX(const std::string&) { return Unavailable("ConvertToSpanSFX", kNoSelfExtractors); }
int TCustomZipKeeper::ConvertToZIP() { return Unavailable("ConvertToZIP", kNoSelfExtractors); }
int TCustomZipKeeper::IsZipSFX(const std::string&) { return Unavailable("IsZipSFX", kNoSelfExtractors); }
int TCustomZipKeeper::ReadSpan(const std::string&, std::string&) { return Unavailable("ReadSpan", kNoSpans); }
int TCustomZipKeeper::WriteSpan(const std::string&, const std::string&) { return Unavailable("WriteSpan", kNoSpans); }

// ---- messages and dialogs ----------------------------------------------------

std::string TCustomZipKeeper::ZipLoadStr(int Ident) {
    return Usable() ? fOpr->ZipLoadStr(Ident) : archive::ZipLoadStr(Ident);
}

void TCustomZipKeeper::ShowZipMessage(int Ident, const std::string& UserStr) { fOpr->ShowZipMessage(Ident, UserStr); }

void TCustomZipKeeper::ShowZipFmtMessage(int Ident, const std::vector<std::string>& Args) {
    TZKFormatArgs args(Args.begin(), Args.end());
    fOpr->ShowZipFmtMsg(Ident, args, true);
}

void TCustomZipKeeper::ShowExceptionError(const std::exception& e) { fOpr->ShowExceptionError(e); }

std::string TCustomZipKeeper::GetPassword(const std::string& DialogCaption, const std::string& MsgTxt) {
    std::string text = MsgTxt;
    const int answer = fOpr->ZipMessageDialog(DialogCaption, text, TMsgDlgButtons{TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel},
                                              (kDlgPassword << 16));
    return answer == platform::mrOk ? text : std::string();
}

std::string TCustomZipKeeper::GetAddPassword() {
    const std::string first = GetPassword(ZipLoadStr(msg::PasswordTitle), ZipLoadStr(msg::EnterPassword));
    if (first.empty()) return first;
    const std::string second = GetPassword(ZipLoadStr(msg::PasswordTitle), ZipLoadStr(msg::ConfirmPassword));
    if (second == first) return first;
    fOpr->ShowZipMsg(msg::PasswordsDoNotMatch, true);
    return "";
}

std::string TCustomZipKeeper::GetExtrPassword() {
    return GetPassword(ZipLoadStr(msg::PasswordTitle), ZipLoadStr(msg::EnterPassword));
}

}  // namespace lunaro::archive

// The runs that change the archive: adding files and streams, deleting and
// renaming entries. The engine writes the new archive beside the old one
// and puts it in place only when complete, so a failed run leaves the
// archive as it was and only a run that changed something reads it again.
#include <ctime>
#include <filesystem>

#include "archive/driver/dll_opr.h"
#include "archive/driver/entry_names.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "archive/reader/file_times.h"
#include "archive/reader/zip_file.h"
#include "platform/date_time.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace lunaro::archive {

namespace {

using Opt = TZKAddOptsEnum;

// An add option and the engine bit it gives when set (or, for the options
// whose engine bit says the opposite, when not set).
struct AddBit {
    Opt option;
    bool whenSet;
    uint32_t bit;
};

constexpr AddBit kAddBits[] = {
    {Opt::AddDirNames, false, ZE_OPT_NO_DIR_NAMES},   {Opt::AddRecurseDirs, true, ZE_OPT_RECURSE},
    {Opt::AddMove, true, ZE_OPT_MOVE},                {Opt::AddHiddenFiles, true, ZE_OPT_HIDDEN},
    {Opt::AddArchiveOnly, true, ZE_OPT_ARCHIVE_ONLY}, {Opt::AddResetArchive, true, ZE_OPT_RESET_ARCHIVE},
    {Opt::AddEncrypt, true, ZE_OPT_ENCRYPT},          {Opt::AddEmptyDirs, false, ZE_OPT_NO_EMPTY_DIRS},
    {Opt::AddVolume, true, ZE_OPT_VOLUME},            {Opt::AddSafe, false, ZE_OPT_NOT_SAFE},
    {Opt::AddVersion, true, ZE_OPT_VERSION},          {Opt::AddNTFS, true, ZE_OPT_NTFS},
};

std::vector<std::string> RenameSpecs(const TZKRenameList& list) {
    if (list.empty()) throw EZipKeeper::CreateResDisp(msg::NothingToDo, true);
    std::vector<std::string> specs;
    for (const auto& [from, to] : list) {
        const std::string oldName = EngineEntryName(from);
        if (oldName.empty() || oldName.find(ZE_RENAME_SEPARATOR) != std::string::npos)
            throw InvalidEntryName(from);
        specs.push_back(oldName + ZE_RENAME_SEPARATOR + NewEntryName(to, oldName.back() == '/'));
    }
    return specs;
}

uint32_t DosNow() { return DosDateTimeFromDateTime(platform::DateTimeFromUnixTime(std::time(nullptr))); }

}  // namespace

std::unique_ptr<TDLLCommands> TZKDLLOpr::BuildAddCommand(const std::string& target) {
    auto rec = BuildCommand(target);
    const TZKOperationSettings& settings = Snapshot();
    const TZKAddOpts options = settings.AddOptions;
    uint32_t bits = rec->fOptions | ZE_OPT_ADD;
    for (const AddBit& entry : kAddBits)
        if (options.Contains(entry.option) == entry.whenSet) bits |= entry.bit;
    if (options.Contains(Opt::AddUpdate)) bits |= ZE_OPT_UPDATE;
    else if (options.Contains(Opt::AddFreshen)) bits |= ZE_OPT_FRESHEN;
    if (settings.HowToDelete == TZKDeleteOpts::htdAllowUndo) bits |= ZE_OPT_ALLOW_UNDO;
    if (settings.WriteOptions.Contains(TZKWriteOptsEnum::zwoZipTime)) bits |= ZE_OPT_ZIP_TIME;
    rec->fOptions = bits;
    // Adding knows only the OEM code page and UTF-8; anything else is the
    // engine's own choice per name.
    rec->fEncodedAs = settings.Encoding == TZKEncodingOpts::zeoOEM    ? 2u
                      : settings.Encoding == TZKEncodingOpts::zeoUTF8 ? 3u
                                                                      : 0u;
    rec->fEncodeAs = static_cast<uint32_t>(settings.EncodeAs);
    rec->fLevel = AddCompLevel;
    if (options.Contains(Opt::AddFromDate)) rec->fDate = DosDateTimeFromDateTime(AddFrom);
    rec->fCheck = ZE_COMMAND_CHECK;
    return rec;
}

std::unique_ptr<TDLLCommands> TZKDLLOpr::BuildDeleteCommand(const std::string& target) {
    auto rec = BuildCommand(target);
    rec->fOptions |= ZE_OPT_DELETE;
    rec->fCheck = ZE_COMMAND_CHECK;
    return rec;
}

std::unique_ptr<TDLLCommands> TZKDLLOpr::BuildRenameCommand(const std::string& target, uint32_t dosDateTime) {
    auto rec = BuildCommand(target);
    rec->fOptions |= ZE_OPT_RENAME;
    rec->fDate = dosDateTime;
    rec->fCheck = ZE_COMMAND_CHECK;
    return rec;
}

bool TZKDLLOpr::ReadyToWrite(TZKRunKind kind) {
    if (kind == TZKRunKind::Add) {
        if (!fRunSpecs && FSpecArgs.empty() && Pipes.empty())
            throw EZipKeeper::CreateResDisp(msg::NoFilesToZip, true);
        if (Snapshot().AddOptions.Contains(Opt::AddEncrypt) && Password.empty() && Unattended() &&
            !Master().OnPasswordError)
            throw EZipKeeper::CreateResDisp(msg::UnattendedNeedsPassword, true);
        // A missing archive is made, in a folder that exists; an existing
        // one must read as an archive, so that no other file is ever
        // written over.
        const std::string path = platform::HostPath(ZipFileName());
        if (platform::FileExists(path)) return !NeedsReread() || List() >= 0;
        const std::string folder = std::filesystem::path(path).parent_path().string();
        if (!folder.empty() && !platform::DirectoryExists(folder))
            throw EZipKeeper::CreateResStr(msg::DestinationMustExist, folder);
        return true;
    }
    if (kind == TZKRunKind::Delete && FSpecArgs.empty())
        throw EZipKeeper::CreateResDisp(msg::NoFilesToDelete, true);
    // An archive without entries has nothing to delete or rename.
    return ReadEntries(msg::NothingToDo);
}

void TZKDLLOpr::RereadAfterWrite() {
    // The run's own outcome stands unless the new archive cannot be read.
    const TZKErrorState outcome = SavedError();
    if (LoadZip(ZipFileName(), false) >= 0) RestoreError(outcome);
}

void TZKDLLOpr::Add() { Run(TZKRunKind::Add, {}); }

void TZKDLLOpr::AddStreamToFile(const std::string& FileName, uint32_t FileDate, uint32_t FileAttr) {
    Run(TZKRunKind::Add, [&] {
        fRunSpecs = std::vector<std::string>{"0:" + NewEntryName(FileName, false)};
        Automatic.Stream = &ZipStream;
        Automatic.Stats = TZKSStats{ZipStream.Size(), FileDate != 0 ? FileDate : DosNow(), FileAttr};
    });
}

void TZKDLLOpr::Delete() { Run(TZKRunKind::Delete, {}); }

void TZKDLLOpr::WriteComment(const std::string& comment) {
    Run(TZKRunKind::Comment, [&] {
        if (comment.size() > 0xFFFF)
            throw EZipKeeper("The archive comment is longer than 65535 bytes", msg::HeaderTooLong, true);
        fRunSpecs = std::vector<std::string>{};
        fNewComment = comment;
    });
}

void TZKDLLOpr::Rename(const TZKRenameList& RenameList, uint32_t DateTime) {
    Run(TZKRunKind::Rename, [&] {
        fRunSpecs = RenameSpecs(RenameList);
        fRenameDate = DateTime;
    });
}

}  // namespace lunaro::archive

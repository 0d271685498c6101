#include "engine/exec/entry_extraction.h"

#include <optional>
#include <string>

#include "engine/exec/entry_encryption.h"
#include "engine/exec/entry_facts.h"
#include "engine/exec/entry_names.h"
#include "engine/exec/password_prompt.h"
#include "engine/exec/target_decision.h"

namespace lunaro::engine {

namespace {

constexpr uint16_t kAesMethod = 99;
constexpr uint16_t kStoredMethod = 0;

// The answer the caller gave to an existing file, or what the options say
// when nobody answers.
bool MayOverwrite(TRunContext& context, std::optional<int64_t> entryTime, const std::string& name, int index,
                  const TExisting& existing) {
    const uint32_t newer = ExistingIsNewer(existing, entryTime) ? ZE_EXISTING_NEWER : ZE_EXISTING_OLDER;
    const int32_t answer = context.Callbacks.Report(
        zacOverwrite, {.Text = name, .Arg1 = context.Options.Overwrite ? 1u : 0u, .Arg2 = static_cast<uint32_t>(index),
                       .Arg3 = static_cast<int32_t>(newer)});
    if (context.Callbacks.Stopped()) return false;
    const bool yes = answer == ZE_OVERWRITE_YES || (answer == 0 && context.Options.Overwrite);
    if (!yes) context.Skip(name, ZE_SKIP_NO_OVERWRITE);
    return yes;
}

// Where a file entry goes; false (reported) when it may not go anywhere.
bool ChoosePlace(TRunContext& context, archive::TZKIRec& rec, const std::string& name, int index,
                 TEntryPath& place) {
    std::optional<TEntryPath> path = SafeEntryPath(rec.DecodedName(), context.Options.KeepFolders);
    if (!path) return context.Skip(name, ZE_SKIP_BAD_NAME, ZE_ERR_INVALID_NAME), false;
    // The caller may rename it; the new name is held to the same rules.
    const TEngineCallbacks::TReply renamed =
        context.Callbacks.Call(zacExtName, {.Text = JoinedPath(*path), .Text2 = context.Args.BaseDir}, true);
    if (context.Callbacks.Stopped()) return false;
    if (renamed.Answer == 1) {
        path = SafeEntryPath(renamed.Text, true);
        if (!path || path->Leaf.empty()) return context.Skip(name, ZE_SKIP_BAD_NAME, ZE_ERR_INVALID_NAME), false;
    }
    const TExisting existing = context.Destination->Look(*path);
    // Only an existing file is compared by time; working the entry's time out
    // costs the C library a look at the time zone file.
    const std::optional<int64_t> entryTime =
        existing.Kind == TExisting::File ? EntryModTime(rec) : std::nullopt;
    switch (DecideTarget(existing, entryTime, context.Options)) {
        case TTargetVerdict::Write: break;
        case TTargetVerdict::Ask:
            if (!MayOverwrite(context, entryTime, name, index, existing)) return false;
            break;
        case TTargetVerdict::NotThere: return context.Skip(name, ZE_SKIP_ON_FRESHEN), false;
        case TTargetVerdict::NotOlder: return context.Skip(name, ZE_SKIP_FILE_EXISTS), false;
        case TTargetVerdict::InTheWay: return context.Skip(name, ZE_SKIP_CANNOT_DO, ZE_ERR_CREATE), false;
    }
    place = std::move(*path);
    return true;
}

// The decryptor for an encrypted entry; false (reported) when none is had.
bool Unlock(TRunContext& context, TEntryEncryption& encryption, const std::string& name) {
    if (context.SkipEncrypted) return context.Skip(name, ZE_SKIP_BAD_PASSWORD, ZE_ERR_PASSWORD_CANCELLED), false;
    switch (UnlockEntry(encryption, context.Password, name, context.Command.fPwdReqCount, context.Callbacks)) {
        case TUnlockResult::Unlocked: return true;
        case TUnlockResult::SkipAll:
            context.SkipEncrypted = true;
            return context.Skip(name, ZE_SKIP_BAD_PASSWORD, ZE_ERR_PASSWORD_CANCELLED), false;
        case TUnlockResult::Skip: return context.Skip(name, ZE_SKIP_BAD_PASSWORD, ZE_ERR_PASSWORD_FAILED), false;
        case TUnlockResult::Abort: break;
    }
    return false;
}

// Reports what went wrong with the data; true only for a good entry.
bool Judge(TRunContext& context, const std::string& name, uint32_t expectedCrc, const TDecodeOutcome& outcome) {
    switch (outcome.Kind) {
        case TDecodeOutcome::Good: return true;
        case TDecodeOutcome::CrcMismatch:
            // Whatever the answer, the bad data never takes a file's place.
            context.Callbacks.Report(zacCRCError, {.Text = name, .Arg1 = outcome.Crc, .Arg2 = expectedCrc});
            return false;
        case TDecodeOutcome::Corrupt:
        case TDecodeOutcome::TooLong:
        case TDecodeOutcome::SizeMismatch:
            context.Skip(name, ZE_SKIP_FORMAT_WRONG, ZE_ERR_ZIP_STRUCTURE);
            return false;
        case TDecodeOutcome::ReadFailed: context.Skip(name, ZE_SKIP_READ_ERROR, ZE_ERR_READ); return false;
        case TDecodeOutcome::WriteFailed:
            context.Skip(name, ZE_SKIP_GENERAL_EXTRACT_ERROR, ZE_ERR_WRITE);
            return false;
        case TDecodeOutcome::Stopped: break;
    }
    return false;
}

}  // namespace

std::optional<TEntryWork> PrepareEntry(TRunContext& context, const TSelectedEntry& selected, int64_t dataOffset) {
    archive::TZKIRec& rec = context.Archive.Entry(selected.Index);
    const std::string name = DisplayName(rec);
    const bool toStream = selected.Stream != kNoStream;
    const bool toFile = !toStream && !context.Options.Test;
    if (toFile && IsLinkEntry(rec)) return context.Skip(name, ZE_SKIP_CANNOT_DO), std::nullopt;

    TEntryPath place;
    if (toFile && !ChoosePlace(context, rec, name, selected.Index, place)) return std::nullopt;

    TEntryWork work(name, TEntrySource(context.Archive.Descriptor(), dataOffset, rec.CompressedSize()));
    uint16_t method = rec.CompressionMethod();
    if (rec.Encrypted() || method == kAesMethod) {
        std::string why;
        work.Encryption = TEntryEncryption::Read(rec, work.Source, why);
        if (!work.Encryption) return context.Skip(name, ZE_SKIP_FORMAT_WRONG, ZE_ERR_ZIP_STRUCTURE), std::nullopt;
        method = work.Encryption->Method();
    }
    work.Decoder = MakeDecoder(method, rec.Flag());
    if (!work.Decoder) return context.Skip(name, ZE_SKIP_COMPRESSION_UNKNOWN), std::nullopt;
    if (work.Encryption && !Unlock(context, *work.Encryption, name)) return std::nullopt;

    work.Stored = method == kStoredMethod;
    work.Declared = rec.UncompressedSize();
    work.ExpectedCrc = rec.CRC32();
    work.Stream = context.Options.Test ? kNoStream : selected.Stream;
    if (toFile) {
        if (context.Options.RestoreTimes) work.ModTime = EntryModTime(rec);
        work.Target = JoinedPath(place);
        work.Destination = context.Destination.get();
        work.Place = std::move(place);
    }
    return work;
}

void ReportEntryStart(TRunContext& context, const TEntryWork& work) {
    context.Callbacks.Report(zacItem, {.Text = work.Name, .FileSize = work.Declared, .Written = context.Written});
}

bool ReportProgress(TRunContext& context, int64_t delta) {
    context.Written += delta;
    context.Callbacks.Report(zacProgress, {.FileSize = delta, .Written = context.Written});
    return !context.Callbacks.Stopped();
}

bool FinishEntry(TRunContext& context, TEntryWork& work) {
    bool done = false;
    if (work.BeginFailed) context.Skip(work.Name, ZE_SKIP_NO_OPEN, ZE_ERR_CREATE);
    else done = Judge(context, work.Name, work.ExpectedCrc, work.Outcome);
    if (done && work.CommitFailed) {
        context.Skip(work.Name, ZE_SKIP_NO_ACCESS, ZE_ERR_CREATE);
        done = false;
    }
    // A progress handler that wants to stop says so at the end of the item.
    if (context.Callbacks.Report(zacItem, {.Text = work.Name, .FileSize = -1, .Written = context.Written}) == 1)
        context.Callbacks.Stop(-ZE_ERR_CANCELLED);
    return done;
}

}  // namespace lunaro::engine

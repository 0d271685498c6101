#include "engine/exec/new_entries.h"

#include <fcntl.h>
#include <zlib.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <thread>

#include "engine/codec/deflate_encoder.h"
#include "engine/codec/encryptor.h"
#include "engine/exec/run_reports.h"
#include "engine/exec/stream_source.h"
#include "engine/output/owned_fd.h"
#include "engine/writer/compress_pipeline.h"
#include "engine/writer/name_encoding.h"

namespace lunaro::engine {

namespace {

// Files up to this size are compressed whole; longer ones in pieces.
constexpr uint64_t kWholeLimit = 4u << 20;
constexpr uint64_t kPieceSize = 1u << 20;
// What may wait in the pipeline at once: enough to keep every worker busy
// behind a slow write, little enough to stay a few tens of MiB.
constexpr uint64_t kMaxBytesInFlight = 48u << 20;
constexpr size_t kMaxPiecesInFlight = 256;
constexpr size_t kCryptHeader = 12;

unsigned Workers() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

// One entry from its first piece submitted to its last one written.
struct TActive {
    size_t Index = 0;
    TOwnedFd File;
    std::unique_ptr<TStreamSource> Stream;
    uint64_t Size = 0;
    uint64_t Pieces = 1;
    uint64_t Submitted = 0;
    uint64_t Written = 0;
    bool Whole = true;
    bool Failed = false;
    bool Started = false;
    bool Zip64 = false;
    std::vector<uint8_t> Tail;  // a stream's last 32 KiB, the next piece's dictionary
    std::string LocalExtra;
    std::optional<TZipCryptoEncryptor> Encryptor;
    TWriterEntry Entry;
};

class TNewEntryWriter {
public:
    TNewEntryWriter(const TDLLCommands& command, TEngineCallbacks& callbacks, const std::vector<TNewEntry>& entries,
                    const TNewEntryOptions& options, TArchiveOutput& out)
        : fCommand(command), fCallbacks(callbacks), fEntries(entries), fOptions(options), fOut(out),
          fPipeline(Workers()) {}

    std::optional<std::vector<size_t>> Run(std::string& error);

private:
    bool Start(size_t index);
    void SubmitPiece(TActive& active);
    bool Take(TPieceResult result, std::string& error);
    bool WriteHeader(TActive& active, const TPieceResult& first);
    bool Finish(TActive& active);
    bool Room() const { return fPipeline.InFlight() < kMaxPiecesInFlight && fBytesInFlight < kMaxBytesInFlight; }

    const TDLLCommands& fCommand;
    TEngineCallbacks& fCallbacks;
    const std::vector<TNewEntry>& fEntries;
    const TNewEntryOptions& fOptions;
    TArchiveOutput& fOut;
    std::deque<TActive> fActive;       // destroyed after the pipeline: the workers read their files
    std::deque<uint64_t> fPieceBytes;  // input bytes of each piece in flight
    uint64_t fBytesInFlight = 0;
    std::vector<size_t> fWritten;
    std::string fError;
    TCompressPipeline fPipeline;
};

bool TNewEntryWriter::Start(size_t index) {
    const TNewEntry& entry = fEntries[index];
    TActive active;
    active.Index = index;
    if (entry.Stream >= 0) {
        active.Stream = std::make_unique<TStreamSource>(fCommand, entry.Stream);
        if (!active.Stream->Open(fError)) return SkipItem(fCallbacks, entry.Name, ZE_SKIP_NO_OPEN, ZE_ERR_READ);
        active.Size = static_cast<uint64_t>(active.Stream->Size());
    } else if (!entry.Source.Folder) {
        active.File.Reset(::open(entry.Source.Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (!active.File.Valid()) return SkipItem(fCallbacks, entry.Name, ZE_SKIP_NO_OPEN, ZE_ERR_READ);
        active.Size = static_cast<uint64_t>(entry.Source.Size);
    }
    active.Whole = active.Size <= kWholeLimit;
    active.Pieces = active.Whole ? 1 : (active.Size + kPieceSize - 1) / kPieceSize;
    fActive.push_back(std::move(active));
    return true;
}

void TNewEntryWriter::SubmitPiece(TActive& active) {
    const TNewEntry& entry = fEntries[active.Index];
    TPieceJob job;
    const uint64_t begin = active.Whole ? 0 : active.Submitted * kPieceSize;
    job.Length = static_cast<size_t>(active.Whole ? active.Size : std::min(kPieceSize, active.Size - begin));
    job.Level = entry.Level;
    job.Whole = active.Whole;
    job.Last = active.Submitted + 1 == active.Pieces;
    job.DictionaryLength = static_cast<size_t>(job.Level > 0 ? std::min<uint64_t>(begin, kDeflateWindow) : 0);
    if (active.Stream) {
        job.Data = active.Tail;
        job.DictionaryLength = std::min(job.DictionaryLength, job.Data.size());
        job.Data.erase(job.Data.begin(), job.Data.end() - static_cast<std::ptrdiff_t>(job.DictionaryLength));
        job.Data.resize(job.DictionaryLength + job.Length);
        // A caller's stream that ends early breaks the entry like a short file.
        if (!active.Stream->Read(job.Data.data() + job.DictionaryLength, job.Length)) job.Broken = true;
        const size_t keep = std::min<size_t>(job.Data.size(), kDeflateWindow);
        active.Tail.assign(job.Data.end() - static_cast<std::ptrdiff_t>(keep), job.Data.end());
    } else if (active.File.Valid()) {
        job.Fd = active.File.Get();
        job.Offset = begin - job.DictionaryLength;
    }
    ++active.Submitted;
    fPieceBytes.push_back(job.Length);
    fBytesInFlight += job.Length;
    fPipeline.Submit(std::move(job));
}

bool TNewEntryWriter::WriteHeader(TActive& active, const TPieceResult& first) {
    const TNewEntry& entry = fEntries[active.Index];
    const TStoredName name = StoredName(entry.Name, fOptions.PreferOem);
    TWriterEntry& w = active.Entry;
    w.Name = name.Bytes;
    if (name.Utf8) w.Flags |= kFlagUtf8;
    const bool folder = entry.Source.Folder;
    w.Method = (active.Whole ? !first.Stored : entry.Level > 0) ? 8 : 0;
    const bool encrypted = !fOptions.Password.empty() && !folder;
    if (encrypted) w.Flags |= kFlagEncrypted;
    // A piece-by-piece entry's CRC is known only at its end: an encrypted
    // one then checks its password against the time, and carries its sizes
    // behind the data.
    if (encrypted && !active.Whole) w.Flags |= kFlagDescriptor;
    w.VersionNeeded = w.Method == 8 || encrypted || folder ? 20 : 10;
    if (entry.Stream >= 0) {
        w.DosTime = active.Stream->DosDate() != 0 ? active.Stream->DosDate() : DosDateTime(::time(nullptr));
        const uint32_t attributes = active.Stream->Attributes() & 0xFF;
        w.ExternalAttributes = (((attributes & 1) ? 0100444u : 0100644u) << 16) | attributes;
    } else {
        w.DosTime = DosDateTime(entry.Source.ModTime);
        const uint32_t mode = entry.Source.Mode & 0xFFFF;
        w.ExternalAttributes = mode << 16 | (folder ? 0x10 : 0) | ((mode & 0200) == 0 ? 1 : 0);
        active.LocalExtra = TimestampField(entry.Source.ModTime);
        w.CentralExtra = active.LocalExtra;
    }
    w.Size = active.Size;
    if (active.Whole) {
        w.Crc = first.Crc;
        w.CompressedSize = first.Out.size() + (encrypted ? kCryptHeader : 0);
    }
    w.Offset = fOut.Offset();
    active.Zip64 = NeedsZip64Sizes(active.Size, active.Size);
    if (!fOut.Write(LocalHeader(w, active.LocalExtra, active.Zip64))) return false;
    if (encrypted) {
        active.Encryptor.emplace(fOptions.Password);
        const uint8_t check = static_cast<uint8_t>((w.Flags & kFlagDescriptor) ? w.DosTime >> 8 : w.Crc >> 24);
        const std::array<uint8_t, kCryptHeader> header = active.Encryptor->Header(check);
        if (!fOut.Write(header.data(), header.size())) return false;
    }
    active.Started = true;
    fCallbacks.Report(zacItem, {.Text = entry.Name, .FileSize = static_cast<int64_t>(active.Size)});
    return true;
}

bool TNewEntryWriter::Finish(TActive& active) {
    TWriterEntry& w = active.Entry;
    if (!active.Whole) {
        if (w.Flags & kFlagDescriptor) {
            if (!fOut.Write(DataDescriptor(w, active.Zip64))) return false;
        } else if (!fOut.Patch(w.Offset, LocalHeader(w, active.LocalExtra, active.Zip64))) {
            return false;
        }
    }
    fOut.AddEntry(w);
    fWritten.push_back(active.Index);
    fCallbacks.Report(zacItem, {.Text = fEntries[active.Index].Name, .FileSize = -1, .Written = static_cast<int64_t>(fOut.Offset())});
    return true;
}

bool TNewEntryWriter::Take(TPieceResult result, std::string& error) {
    fBytesInFlight -= fPieceBytes.front();
    fPieceBytes.pop_front();
    TActive& active = fActive.front();
    const std::string& name = fEntries[active.Index].Name;
    if (!result.Failure.empty()) {
        error = "cannot compress \"" + name + "\": " + result.Failure;
        return false;
    }
    if (!active.Failed && result.ReadFailed) {
        active.Failed = true;
        if (active.Started && !fOut.Rewind(active.Entry.Offset)) return false;
        if (active.Started) fCallbacks.Report(zacItem, {.Text = name, .FileSize = -1});
        SkipItem(fCallbacks, name, ZE_SKIP_READ_ERROR, ZE_ERR_READ);
    }
    if (!active.Failed) {
        if (!active.Started && !WriteHeader(active, result)) return false;
        if (active.Encryptor) active.Encryptor->Encrypt(result.Out.data(), result.Out.size());
        if (!fOut.Write(result.Out.data(), result.Out.size())) return false;
        if (!active.Whole) {
            active.Entry.Crc = active.Written == 0 ? result.Crc
                                                   : static_cast<uint32_t>(crc32_combine(active.Entry.Crc, result.Crc,
                                                                                         static_cast<z_off_t>(result.Length)));
            active.Entry.CompressedSize += result.Out.size() + (active.Written == 0 && active.Encryptor ? kCryptHeader : 0);
        }
        fCallbacks.Report(zacProgress, {.FileSize = static_cast<int64_t>(result.Length), .Written = static_cast<int64_t>(fOut.Offset())});
    }
    ++active.Written;
    if (active.Written == active.Pieces) {
        if (!active.Failed && !Finish(active)) return false;
        fActive.pop_front();
    }
    return true;
}

std::optional<std::vector<size_t>> TNewEntryWriter::Run(std::string& error) {
    size_t next = 0;
    while (!fCallbacks.Stopped()) {
        while (Room() && !fCallbacks.Stopped()) {
            if (fActive.empty() || fActive.back().Submitted == fActive.back().Pieces) {
                if (next == fEntries.size()) break;
                if (!Start(next++)) break;
                continue;
            }
            SubmitPiece(fActive.back());
        }
        if (fPipeline.InFlight() == 0) break;
        if (!Take(fPipeline.Next(), error)) {
            if (error.empty()) error = fOut.Error();
            return std::nullopt;
        }
    }
    if (fCallbacks.Stopped()) return std::nullopt;
    return std::move(fWritten);
}

}  // namespace

std::optional<std::vector<size_t>> WriteNewEntries(const TDLLCommands& command, TEngineCallbacks& callbacks,
                                                   const std::vector<TNewEntry>& entries,
                                                   const TNewEntryOptions& options, TArchiveOutput& out,
                                                   std::string& error) {
    return TNewEntryWriter(command, callbacks, entries, options, out).Run(error);
}

}  // namespace lunaro::engine

#include "archive/reader/zip_file.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "archive/directory/fn_match.h"
#include "archive/reader/header_source.h"
#include "archive/messages/message_ids.h"
#include "archive/directory/name_hash.h"
#include "archive/operation/span_options.h"
#include "archive/reader/zip_bytes.h"
#include "archive/messages/zk_exception.h"
#include "platform/files.h"

namespace lunaro::archive {

namespace {

// Stubs are kept only to be written back with the archive; a larger "stub"
// is not an executable worth holding in memory.
constexpr int64_t kMaxStubSize = 16 * 1024 * 1024;

bool IsWildPattern(std::string_view pattern) { return pattern.find_first_of("*?|") != std::string_view::npos; }

bool SelectsAll(std::string_view pattern) { return pattern.empty() || pattern == "*.*" || pattern == "*"; }

}  // namespace

TZKZipFile::TZKZipFile(TZKCore& worker)
    : TZKEOC(worker),
      fHashList(fEntries),
      fEncoding(worker.Snapshot().Encoding),
      fEncoding_CP(worker.Snapshot().Encoding_CP),
      FIgnoreDirOnly(worker.Snapshot().IgnoreDirOnly) {}

TZKZipFile::~TZKZipFile() = default;

void TZKZipFile::Notify(int idx, TZCChanges change) {
    if (OnChange) OnChange(this, idx, change);
}

void TZKZipFile::ForgetNames() {
    for (TZKIRec& rec : fEntries) rec.ClearCachedName();
    fHashList.Clear();
    fIndexPending = false;
}

void TZKZipFile::SetEncoding(TZKEncodingOpts value) {
    if (value == fEncoding) return;
    fEncoding = value;
    ForgetNames();
}

void TZKZipFile::SetEncoding_CP(uint32_t value) {
    if (value == fEncoding_CP) return;
    fEncoding_CP = value;
    ForgetNames();
}

// ---- opening -------------------------------------------------------------

int TZKZipFile::Open(bool EOConly, bool NoLoad) {
    ClearFileInformation();
    SetInfo((Info() & kInfoKeptByOpen) | kInfoOpenBegun);
    SetReqFileName(FileName());
    const bool exactName = (Boss().Snapshot().SpanOptions & spExactName) != 0;
    int result = OpenEOC(EOConly);
    if (result < 0 && !exactName) result = OpenLast(EOConly, result);
    if (result >= 0) {
        const int taken = TakePartOfEndRecord();
        if (taken < 0) result = taken;
    }
    if (result >= 0) {
        LastWriteTime(fEOCFileTime);
        ChooseNumbering();
        if (!EOConly && !NoLoad) {
            SetInfo(Info() | kInfoEndRecordAccepted);
            if (result & kEocCommentAnomaly) Boss().ShowZipMessage(msg::FileCommentReadError, "");
            if (result & kEocOffsetAnomaly) Boss().ShowZipMessage(msg::ZipStructureWarning, "");
            const int loaded = Load();
            if (loaded != 0) {
                result = loaded;
            } else {
                SetInfo(Info() | kInfoDirectoryLoaded | kInfoIdentitySaved);
                SaveFileInformation();
                if (Sig() == TZipFileSigs::zfsDOS) KeepStub();
            }
        }
    }
    fOpenRet = result;
    if (Boss().Verbosity() > 1)
        Boss().Diag("Open = " + (result < 0 ? Boss().ZipLoadStr(-result) : std::to_string(result)));
    return result;
}

int TZKZipFile::TakePartOfEndRecord() {
    // The open file is the part that holds the end record; reads that go on
    // to other parts count from its number.
    if (fEndDiskNr == DiskNr()) return 0;
    try {
        GetNewDisk(fEndDiskNr);
        return 0;
    } catch (const EZipKeeper& e) {
        return -e.ResId();
    }
}

void TZKZipFile::ChooseNumbering() {
    if (TotalDisks() <= 1 || Numbering() != TZipNumberScheme::znsNone) return;
    SetNumbering(TZipNumberScheme::znsExt);
    const std::string name = FileName();
    const std::string extension = platform::ExtractFileExt(name);
    const std::string base = name.substr(0, name.size() - extension.size());
    const std::string number = std::to_string(DiskNr() + 1 + 1000).substr(1);
    if (base.size() >= 3 && base.compare(base.size() - 3, 3, number) == 0 && platform::FileExists(name))
        SetNumbering(TZipNumberScheme::znsName);
}

void TZKZipFile::KeepStub() {
    fStub.reset();
    if (fSFXOfs <= 0 || fSFXOfs > kMaxStubSize || (!IsOpen() && !File_Open(kOpenReadShared))) return;
    auto stub = std::make_unique<platform::TMemoryStream>();
    stub->SetSize(fSFXOfs);
    if (Seek(0, kSeekFromStart) == 0 && Read(stub->Memory(), static_cast<int>(fSFXOfs)) == fSFXOfs) fStub = std::move(stub);
}

// ---- loading the directory ----------------------------------------------

int64_t TZKZipFile::ExpectedCentralStart() const {
    if (fZ64) return fCentralOffset;
    return File_Size() - ZipCommentLen() - fCentralSize - kEndRecordSize;
}

int64_t TZKZipFile::ChooseCentralStart(int64_t expected) {
    if (expected == fCentralOffset) return fCentralOffset;
    // Data before the archive: offsets may or may not count it. A central
    // header at the recorded offset says they do.
    Boss().ShowZipMessage(msg::ZipStructureWarning, "");
    CheckSeek(fCentralOffset, kSeekFromStart, msg::ArchiveSeekError);
    uint8_t probe[4];
    CheckRead(probe, 4, msg::CentralHeaderReadError);
    return GetU32(probe) == kCentralHeaderSig ? fCentralOffset : expected;
}

void TZKZipFile::CheckEntryCountFits(int64_t start) {
    // Counts come from the file: a directory that claims more headers than
    // the bytes left could hold is damaged, and must not make us reserve
    // room for them.
    if (IsMultiPart()) return;
    const int64_t room = File_Size() - start;
    if (room < 0 || static_cast<uint64_t>(fTotalEntries) * kCentralHeaderSize > static_cast<uint64_t>(room))
        throw EZipKeeper::CreateResDisp(msg::CentralHeaderReadError, true);
}

int TZKZipFile::Load() {
    if (!(Info() & kInfoEndRecordAccepted)) return -msg::ListUnknownError;
    fHashList.Clear();
    fIndexPending = false;
    fEntries.clear();
    fTexts.Clear();
    FFirst = -1;
    FSelCount = 0;
    fCheckNo = Boss().NextCheckNo();
    Notify(static_cast<int>(fCheckNo), TZCChanges::zccBegin);

    try {
        int64_t expected = fCentralOffset;
        if (fCentralDiskNo != static_cast<uint32_t>(DiskNr())) {
            // No part after the last one can hold the directory.
            if (fCentralDiskNo >= static_cast<uint32_t>(std::max(TotalDisks(), 1)))
                throw EZipKeeper::CreateResDisp(msg::ArchiveSeekError, true);
            SeekDisk(static_cast<int>(fCentralDiskNo));
            SetFile_Size(Seek(0, kSeekFromEnd));
        } else {
            expected = ExpectedCentralStart();
        }
        fSFXOfs = expected >= 0 && expected <= 0xFFFFFFFFLL ? expected : 0;
        if (RealFileSize() == kEndRecordSize) fSFXOfs = 0;
        const int64_t start = ChooseCentralStart(expected);
        CheckSeek(start, kSeekFromStart, msg::ArchiveSeekError);
        ProgReport(TActionCodes::zacItem, msg::ProgressLoadingDirectory, fTotalEntries, "");
        if (Boss().Verbosity() > 1) Boss().Diag("List - expecting " + std::to_string(fTotalEntries) + " files");
        CheckEntryCountFits(start);
        Notify(static_cast<int>(fTotalEntries), TZCChanges::zccCount);
        fHashList.AutoSize(static_cast<int>(std::min<uint32_t>(fTotalEntries, INT32_MAX)));
        ReadEntries();
        fIndexPending = true;
        SetInfo((Info() & ~kInfoKeptByOpen) | kInfoDirectoryLoaded);
        fCentralOffset = start;
        fSFXOfs += expected - start;
    } catch (const EZipKeeper& e) {
        AbandonLoad();
        return -e.ResId();
    } catch (...) {
        AbandonLoad();
        throw;
    }
    ProgReport(TActionCodes::zacEndOfBatch, 0, 0, "");
    Notify(Count(), TZCChanges::zccEnd);
    return 0;
}

void TZKZipFile::AbandonLoad() {
    fIndexPending = true;
    ProgReport(TActionCodes::zacEndOfBatch, 0, 0, "");
    SetFileName("");
    fSFXOfs = 0;
    Notify(Count(), TZCChanges::zccEnd);
}

// Entries go into the name index when a name is first looked up, not while
// they load: a listing never looks one up, and would pay for decoding and
// hashing every name twice over. Added together, they are indexed much
// faster than one by one.
void TZKZipFile::IndexEntries() {
    if (!fIndexPending) return;
    fIndexPending = false;
    fHashList.AddAll();
}

const TZKDirHashList& TZKZipFile::HashList() {
    IndexEntries();
    return fHashList;
}

void TZKZipFile::ReadEntries() {
    // Room for the count read from the file, up to a limit: beyond it the
    // list grows as headers actually arrive. A single part's count was
    // checked against its size; a multi-part one could not be.
    fEntries.reserve(std::min<uint32_t>(fTotalEntries, IsMultiPart() ? 1u << 16 : 1u << 20));
    TZKFileHeaderSource direct(*this);
    TZKBufferedHeaderSource buffered(*this);
    TZKHeaderSource& source = IsMultiPart() ? static_cast<TZKHeaderSource&>(direct) : buffered;
    const bool trace = Boss().Verbosity() > 1;
    for (uint32_t i = 0; i < fTotalEntries; ++i) {
        TZKIRec& rec = fEntries.emplace_back(*this);
        const int result = rec.Read(source);
        if (result < 0) {
            fEntries.pop_back();
            throw EZipKeeper::CreateResDisp(-result, true);
        }
        if (result > 0) fZ64 = true;
        const int index = Count() - 1;
        if (trace) Boss().Diag("List - [" + std::to_string(index) + "] \"" + std::string(rec.DecodedName()) + "\"");
        Notify(index, TZCChanges::zccAdd);
        if (rec.RelOffLocalHdr() < fSFXOfs) fSFXOfs = rec.RelOffLocalHdr();
        ProgReport(TActionCodes::zacProgress, 0, 1, "");
        Boss().CheckCancel();
    }
}

// ---- access by index -----------------------------------------------------

TZKIRec* TZKZipFile::Entry(uint32_t chk, int idx) { return chk == fCheckNo ? Items(idx) : nullptr; }

int TZKZipFile::Next(int current) const {
    if (current < -1 || current + 1 >= Count()) return kNoIndex;
    return current + 1;
}

int TZKZipFile::NextSelected(int current) const {
    if (current < -1) return kNoIndex;
    for (int i = current + 1; i < Count(); ++i) {
        const TZKIRec& rec = fEntries[static_cast<size_t>(i)];
        if (!rec.TestStatusBit(zsbSelected) || rec.TestStatusBit(zsbSkipped)) continue;
        if (FIgnoreDirOnly && rec.TestStatusBit(zsbDirOnly)) continue;
        return i;
    }
    return kNoIndex;
}

// ---- lookup --------------------------------------------------------------

TZKIRec* TZKZipFile::FindNameEx(std::string_view pattern, int& idx, bool IsWild) {
    if (pattern.empty() || idx < -1) {
        idx = kNoIndex;
        return nullptr;
    }
    if (!IsWild && idx == -1) IndexEntries();
    if (!IsWild && idx == -1 && !fHashList.Empty()) {
        const int found = fHashList.Find(pattern);
        idx = found >= 0 ? found : kNoIndex;
        return found >= 0 ? Items(found) : nullptr;
    }
    const TFNPattern matcher(pattern);
    const uint32_t hash = IsWild ? 0 : NameHash(pattern);
    for (int i = idx + 1; i < Count(); ++i) {
        TZKIRec& rec = fEntries[static_cast<size_t>(i)];
        if (rec.TestStatusBit(zsbIgnore)) continue;
        if (!IsWild && rec.GetHash() != hash) continue;
        if (matcher.Matches(rec.DecodedName())) {
            idx = i;
            return &rec;
        }
    }
    idx = kNoIndex;
    return nullptr;
}

// Plain names from the rename checks must find names that differ only in
// letter case, which the case-sensitive hash cannot; so they are matched.
TZKIRec* TZKZipFile::FindName(std::string_view pattern, int& idx) { return FindNameEx(pattern, idx, true); }

TZKIRec* TZKZipFile::FindName(std::string_view pattern, int& idx, TZKIRec* myself) {
    if (myself == nullptr) return FindName(pattern, idx);
    const bool wasIgnored = myself->TestStatusBit(zsbIgnore);
    myself->SetStatusBit(zsbIgnore);
    TZKIRec* found = FindName(pattern, idx);
    if (!wasIgnored) myself->ClearStatusBit(zsbIgnore);
    return found;
}

int TZKZipFile::HasDupName(TZKIRec* rec) {
    IndexEntries();
    if (fHashList.Empty()) return -1;
    const int found = fHashList.Find(rec->DecodedName());
    if (found >= 0 && Boss().Verbosity() > 1) Boss().Diag("Duplicate FileName: " + std::string(rec->DecodedName()));
    return found;
}

int TZKZipFile::HashContents(TZKDirHashList& list, int what) {
    if (!list.Indexes(fEntries)) throw std::invalid_argument("HashContents: the list indexes another archive");
    list.AutoSize(Count());
    int duplicates = 0;
    for (int i = 0; i < Count(); ++i) {
        TZKIRec& rec = fEntries[static_cast<size_t>(i)];
        if (what != -1) {
            if (rec.TestStatusBit(zsbSkipped | zsbIgnore | zsbInvalid)) continue;
            if (what != 0 && !rec.TestStatusBit(static_cast<uint32_t>(what))) continue;
        }
        if (list.Add(i) >= 0) ++duplicates;
    }
    return duplicates;
}

// ---- selection -----------------------------------------------------------

bool TZKZipFile::SetBy(TZKIRec& rec, TZipSelects how) {
    const bool before = rec.Selected();
    const bool after = rec.Select(how);
    if (after != before) FSelCount += after ? 1 : -1;
    return after;
}

int TZKZipFile::Walk(std::string_view pattern, std::string_view reject, TZipSelects how, bool clearArgs) {
    const TFNPattern rejecter(reject);
    int matched = 0;
    auto visit = [&](TZKIRec& rec) {
        if (!reject.empty() && rejecter.Matches(rec.DecodedName())) return;
        ++matched;
        if (SetBy(rec, how) && clearArgs) rec.SetSelectArgs("");
    };
    if (SelectsAll(pattern)) {
        for (TZKIRec& rec : fEntries) visit(rec);
        return matched;
    }
    const bool wild = IsWildPattern(pattern);
    int idx = -1;
    while (TZKIRec* rec = FindNameEx(pattern, idx, wild)) {
        visit(*rec);
        if (!wild) break;  // a plain name selects the first entry it finds
    }
    return matched;
}

int TZKZipFile::Select(std::string_view pattern, TZipSelects how) {
    const int changed = Walk(pattern, "", how, false);
    if (!SelectsAll(pattern)) return changed;
    int selected = 0;
    for (const TZKIRec& rec : fEntries) selected += rec.Selected() ? 1 : 0;
    return selected;
}

int TZKZipFile::Select1(std::string_view pattern, std::string_view reject, TZipSelects how) {
    return Walk(pattern, reject, how, true);
}

int TZKZipFile::SelectFiles(const std::vector<std::string>& want, const std::vector<std::string>& reject,
                            std::vector<std::string>& skipped) {
    ClearSelection();
    std::string rejected;
    for (const std::string& spec : reject) rejected += (rejected.empty() ? "" : "|") + spec;
    for (const std::string& spec : want) {
        const int selected = Select1(spec, rejected, TZipSelects::zzsSet);
        if (selected == 0) {
            if (Boss().Verbosity() >= 1) Boss().Diag("Skipped filespec " + spec);
            skipped.push_back(spec);
        }
        if (selected >= Count()) break;
    }
    return FSelCount;
}

void TZKZipFile::ClearSelection() {
    for (TZKIRec& rec : fEntries) rec.SetSelected(false);
    FSelCount = 0;
}

// ---- identity ------------------------------------------------------------

void TZKZipFile::Invalidate() { SetInfo(Info() | kInfoInvalid); }

bool TZKZipFile::IsInvalid() const { return (Info() & kInfoInvalid) != 0; }

int TZKZipFile::VerifyOpen() {
    if (!IsOpen() && !File_Open(kOpenReadShared)) return -msg::ZipFileNotOpened;
    int64_t now = 0;
    LastWriteTime(now);
    return now == fEOCFileTime ? 0 : -msg::FileChanged;
}

int TZKZipFile::Reopen(int mode) {
    if (Boss().Verbosity() > 1) Boss().Diag("Reopening " + FileName());
    if (!IsOpen() && !File_Open(static_cast<uint32_t>(mode))) {
        Boss().Diag("Could not reopen: " + FileName());
        return -msg::ZipFileNotOpened;
    }
    if ((Info() & kInfoIdentitySaved) && !VerifyFileInformation()) {
        Boss().Diag("File has changed! " + FileName());
        return -msg::ZipFileChanged;
    }
    return 0;
}

}  // namespace lunaro::archive

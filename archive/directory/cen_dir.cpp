#include "archive/directory/cen_dir.h"

#include <algorithm>

#include "archive/operation/zk_core.h"

namespace lunaro::archive {

// ---- items ---------------------------------------------------------------

TZKIRec* TZKCentralEntry::Rec() const { return fDir->Entry(fCheck, fIdx); }

namespace {

// A value of the entry the item refers to, or the neutral value when stale.
template <typename T>
T ValueOf(const TZKCentralEntry& item, T (TZKIRec::*getter)() const, T neutral) {
    const TZKIRec* rec = item.Rec();
    return rec != nullptr ? (rec->*getter)() : neutral;
}

}  // namespace

int64_t TZKCentralEntry::CompressedSize() const { return ValueOf<int64_t>(*this, &TZKIRec::CompressedSize, 0); }
uint16_t TZKCentralEntry::CompressionMethod() const { return ValueOf<uint16_t>(*this, &TZKIRec::CompressionMethod, 0); }
uint32_t TZKCentralEntry::CRC32() const { return ValueOf<uint32_t>(*this, &TZKIRec::CRC32, 0); }
uint32_t TZKCentralEntry::DateTime() const { return ValueOf<uint32_t>(*this, &TZKIRec::DateTime, 0); }
TZKEncodingOpts TZKCentralEntry::Encoded() const { return ValueOf<TZKEncodingOpts>(*this, &TZKIRec::Encoded, TZKEncodingOpts::zeoOEM); }
bool TZKCentralEntry::Encrypted() const { return ValueOf<bool>(*this, &TZKIRec::Encrypted, false); }
uint32_t TZKCentralEntry::ExtFileAttrib() const { return ValueOf<uint32_t>(*this, &TZKIRec::ExtFileAttrib, 0); }
std::string TZKCentralEntry::ExtraField() const { return ValueOf<std::string>(*this, &TZKIRec::ExtraField, std::string()); }
uint16_t TZKCentralEntry::FileCommentLen() const { return ValueOf<uint16_t>(*this, &TZKIRec::FileCommentLen, 0); }
uint16_t TZKCentralEntry::FileNameLength() const { return ValueOf<uint16_t>(*this, &TZKIRec::FileNameLength, 0); }
uint16_t TZKCentralEntry::Flag() const { return ValueOf<uint16_t>(*this, &TZKIRec::Flag, 0); }
std::string TZKCentralEntry::HeaderName() const { return ValueOf<std::string>(*this, &TZKIRec::HeaderName, std::string()); }
uint16_t TZKCentralEntry::IntFileAttrib() const { return ValueOf<uint16_t>(*this, &TZKIRec::IntFileAttrib, 0); }
int64_t TZKCentralEntry::RelOffLocalHdr() const { return ValueOf<int64_t>(*this, &TZKIRec::RelOffLocalHdr, 0); }
uint32_t TZKCentralEntry::StartOnDisk() const { return ValueOf<uint32_t>(*this, &TZKIRec::StartOnDisk, 0); }
uint32_t TZKCentralEntry::StatusBits() const { return ValueOf<uint32_t>(*this, &TZKIRec::StatusBits, 0); }
int64_t TZKCentralEntry::UncompressedSize() const { return ValueOf<int64_t>(*this, &TZKIRec::UncompressedSize, 0); }
uint16_t TZKCentralEntry::VersionMadeBy() const { return ValueOf<uint16_t>(*this, &TZKIRec::VersionMadeBy, 0); }
uint16_t TZKCentralEntry::VersionNeeded() const { return ValueOf<uint16_t>(*this, &TZKIRec::VersionNeeded, 0); }

std::string TZKCentralEntry::FileComment() {
    TZKIRec* rec = Rec();
    return rec != nullptr ? rec->FileComment() : std::string();
}

std::string TZKCentralEntry::FileName() {
    TZKIRec* rec = Rec();
    return rec != nullptr ? rec->FileName() : std::string();
}

// ---- the list --------------------------------------------------------------

TZKCenDir::~TZKCenDir() { Clear(); }

TZKCentralEntry* TZKCenDir::Items(int i) {
    return i >= 0 && i < fCount ? &fEntries[static_cast<size_t>(i)] : nullptr;
}

void TZKCenDir::Renumber() {
    fLoadNo = fWorker.NextCheckNo();  // no archive carries it: every item goes stale
    for (size_t i = 0; i < fEntries.size(); ++i) fEntries[i].Point(static_cast<int>(i), fLoadNo);
    fCount = 0;
}

void TZKCenDir::MakeRoom(int n) {
    while (static_cast<int>(fEntries.size()) < n)
        fEntries.emplace_back(this, static_cast<int>(fEntries.size()), fLoadNo);
    Renumber();
}

void TZKCenDir::Map(int i, bool raiseEvent) {
    TZKIRec* rec = fCurrent ? fCurrent->Items(i) : nullptr;
    if (rec == nullptr) return;
    if (fIgnoreDirOnly && rec->IsDirOnly()) {
        ++fDirOnlyCount;
        return;
    }
    if (fCount >= static_cast<int>(fEntries.size())) fEntries.emplace_back(this, fCount, fLoadNo);
    fEntries[static_cast<size_t>(fCount)].Point(i, fCurrent->CheckNo());
    const int position = fCount++;
    if (raiseEvent && OnNewName) OnNewName(position);
}

void TZKCenDir::FreeItems() {
    fEntries.clear();
    fCount = 0;
    fDirOnlyCount = 0;
}

void TZKCenDir::FireDirUpdate() {
    if (OnDirUpdate) OnDirUpdate();
}

TZKZipFile* TZKCenDir::Current() {
    if (!fCurrent || fCurrent->IsInvalid()) SetCurrent(std::make_unique<TZKZipFile>(fWorker));
    return fCurrent.get();
}

void TZKCenDir::SetCurrent(std::unique_ptr<TZKZipFile> z) {
    if (z == fCurrent) {
        (void)z.release();  // already ours: nothing changes
        return;
    }
    Renumber();
    fCurrent = std::move(z);
    fDirOnlyCount = 0;
    if (fCurrent) {
        fCurrent->OnChange = [this](TZKZipFile* sender, int idx, TZCChanges change) { ZipChange(sender, idx, change); };
        fLoadNo = fCurrent->CheckNo();
        if (fCurrent->Count() > 0) {
            MakeRoom(fCurrent->Count());
            for (int i = 0; i < fCurrent->Count(); ++i) Map(i, true);
        }
    }
    FireDirUpdate();
}

void TZKCenDir::Clear() {
    FreeItems();
    fCurrent.reset();
}

std::unique_ptr<TZKZipFile> TZKCenDir::ReleaseZip() {
    std::unique_ptr<TZKZipFile> released = std::move(fCurrent);
    if (released) released->OnChange = nullptr;
    Renumber();
    FireDirUpdate();
    return released;
}

void TZKCenDir::SetIgnoreDirOnly(bool value) {
    if (value == fIgnoreDirOnly) return;
    fIgnoreDirOnly = value;
    fDirOnlyCount = 0;
    const int entries = fCurrent ? fCurrent->Count() : 0;
    MakeRoom(entries);
    fCount = 0;
    for (int i = 0; i < entries; ++i) Map(i, false);
}

void TZKCenDir::ZipChange(TZKZipFile* /*sender*/, int idx, TZCChanges change) {
    switch (change) {
        // The item objects stay for the new load: one a caller took before
        // must go stale, not point at freed memory.
        case TZCChanges::zccBegin:
            Renumber();
            fDirOnlyCount = 0;
            break;
        // The count comes from the file: items beyond a first share are made
        // as entries actually arrive, so a false count costs nothing.
        case TZCChanges::zccCount: MakeRoom(std::min(idx, kPreparedItems)); break;
        case TZCChanges::zccAdd: Map(idx, true); break;
        case TZCChanges::zccEnd: FireDirUpdate(); break;
        case TZCChanges::zccCheckNo: Renumber(); break;
        default: break;
    }
}

}  // namespace lunaro::archive

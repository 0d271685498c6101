#pragma once
// The directory the component shows its user: one item per visible entry
// of the current archive, kept in step with it through its change
// notifications. Items are reused from load to load; an item taken before a
// reload refers to nothing afterwards and gives neutral values.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "archive/directory/dir_entry.h"
#include "archive/reader/zip_file.h"

namespace lunaro::archive {

class TZKCore;
class TZKCenDir;

enum class TZCentralValue : uint8_t { zcvDirty, zcvEmpty, zcvError, zcvBadStruct, zcvBusy };
using TZCentralValues = TZKSet<TZCentralValue>;

class TZKCentralEntry : public TZKDirEntry {
public:
    TZKCentralEntry(TZKCenDir* dir, int idx, uint32_t check) : fDir(dir), fIdx(idx), fCheck(check) {}

    int64_t CompressedSize() const override;
    uint16_t CompressionMethod() const override;
    uint32_t CRC32() const override;
    uint32_t DateTime() const override;
    TZKEncodingOpts Encoded() const override;
    bool Encrypted() const override;
    uint32_t ExtFileAttrib() const override;
    std::string ExtraField() const override;
    std::string FileComment() override;
    uint16_t FileCommentLen() const override;
    std::string FileName() override;
    uint16_t FileNameLength() const override;
    uint16_t Flag() const override;
    std::string HeaderName() const override;
    uint16_t IntFileAttrib() const override;
    int64_t RelOffLocalHdr() const override;
    uint32_t StartOnDisk() const override;
    uint32_t StatusBits() const override;
    int64_t UncompressedSize() const override;
    uint16_t VersionMadeBy() const override;
    uint16_t VersionNeeded() const override;

    // The entry this item refers to, or null when the item is stale.
    TZKIRec* Rec() const;
    void Point(int idx, uint32_t check) {
        fIdx = idx;
        fCheck = check;
    }

private:
    TZKCenDir* fDir;
    int fIdx;
    uint32_t fCheck;
};

class TZKCenDir {
public:
    explicit TZKCenDir(TZKCore& worker) : fWorker(worker) {}
    ~TZKCenDir();
    TZKCenDir(const TZKCenDir&) = delete;
    TZKCenDir& operator=(const TZKCenDir&) = delete;

    int Count() const { return fCount; }
    // The item at i, or null outside 0 to Count() - 1.
    TZKCentralEntry* Items(int i);
    uint32_t LoadNo() const { return fLoadNo; }
    TZKIRec* Entry(uint32_t chk, int idx) { return fCurrent ? fCurrent->Entry(chk, idx) : nullptr; }

    // The current archive object; a fresh empty one is made and adopted when
    // there is none or the one held was invalidated.
    TZKZipFile* Current();
    // The current archive object without making one.
    TZKZipFile* CurrentIfAny() const { return fCurrent.get(); }
    // Adopts z (null: none), freeing the previous archive object.
    void SetCurrent(std::unique_ptr<TZKZipFile> z);
    void Clear();
    std::unique_ptr<TZKZipFile> ReleaseZip();

    bool IgnoreDirOnly() const { return fIgnoreDirOnly; }
    void SetIgnoreDirOnly(bool value);
    int DirOnlyCount() const { return fDirOnlyCount; }

    int64_t EOCOffset() const { return fCurrent ? fCurrent->EOCOffset() : 0; }
    bool MultiDisk() const { return fCurrent && fCurrent->MultiDisk(); }
    int64_t SFXOffset() const { return fCurrent ? fCurrent->SFXOfs() : 0; }
    int64_t SOCOffset() const { return fCurrent ? fCurrent->CentralOffset() : 0; }
    int TotalDisks() const { return fCurrent ? fCurrent->TotalDisks() : 0; }
    std::string ZipComment() const { return fCurrent ? fCurrent->ZipComment() : std::string(); }
    int64_t ZipFileSize() const { return fCurrent ? fCurrent->File_Size() : 0; }
    bool Verbose() const { return fVerbose; }
    void SetVerbose(bool value) { fVerbose = value; }
    TZCentralValues Status() const { return fStatus; }

    // The notification handler installed on the current archive.
    void ZipChange(TZKZipFile* sender, int idx, TZCChanges change);

    // The component's events: the directory was (re)read; an item was mapped.
    std::function<void()> OnDirUpdate;
    std::function<void(int position)> OnNewName;

private:
    static constexpr int kPreparedItems = 65536;

    void Renumber();
    void MakeRoom(int n);
    void Map(int i, bool raiseEvent);
    void FreeItems();
    void FireDirUpdate();

    TZKCore& fWorker;
    std::unique_ptr<TZKZipFile> fCurrent;
    std::deque<TZKCentralEntry> fEntries;
    int fCount = 0;
    int fDirOnlyCount = 0;
    bool fIgnoreDirOnly = false;
    uint32_t fLoadNo = 0;
    TZCentralValues fStatus;
    bool fVerbose = false;
};

}  // namespace lunaro::archive

#pragma once
// The archive file on disk: every byte the archive reader takes from a file
// passes here. Reads report failures as negated message identifiers; the
// "check" forms raise EZipKeeper with the caller's identifier instead, so
// the caller's own message reaches the user. A numbered multi-part archive
// on a fixed drive is read across its parts. The writing half is not built:
// nothing here opens a file for writing on purpose.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "archive/messages/message_ids.h"
#include "archive/reader/work_drive.h"
#include "archive/operation/zk_core.h"
#include "archive/operation/zk_types.h"
#include "platform/stream.h"

namespace lunaro::archive {

enum class TZipNumberScheme : uint8_t { znsNone, znsVolume, znsName, znsExt };
enum class TZipFileSigs : uint8_t { zfsNone, zfsLocal, zfsMulti, zfsDOS };
enum class TZKShowProgress : uint8_t { zspNone = 0, zspFull = 1, zspExtra = 2 };

// Read access that lets others read but not write: how readers open.
inline constexpr uint32_t kOpenReadShared = platform::fmOpenRead | platform::fmShareDenyWrite;

// Bits of the archive state word (Info).
inline constexpr uint32_t kInfoKeptByOpen = 0x7;  // the only earlier bits an open keeps
inline constexpr uint32_t kInfoOpenBegun = 0x40;
inline constexpr uint32_t kInfoEndRecordAccepted = 0x800;
inline constexpr uint32_t kInfoDirectoryLoaded = 0x1000;
inline constexpr uint32_t kInfoIdentitySaved = 0x2000;
inline constexpr uint32_t kInfoInvalid = 0x8000;

// Origins of Seek.
inline constexpr int kSeekFromStart = 0;
inline constexpr int kSeekFromCurrent = 1;
inline constexpr int kSeekFromEnd = 2;

// Copies go through buffers of this size.
inline constexpr int kReadToChunk = 20480;

// What identifies an open file: it changed when any of these differ.
struct TZKFileInformation {
    uint32_t Attributes = 0;
    int64_t CreationTime = 0;  // file times, see file_times.h; 0 when unknown
    int64_t LastWriteTime = 0;
    uint64_t VolumeSerial = 0;
    int64_t Size = 0;
    uint64_t FileIndex = 0;
    bool operator==(const TZKFileInformation&) const = default;
};

class TZKWorkFile {
public:
    explicit TZKWorkFile(TZKCore& worker);
    virtual ~TZKWorkFile();
    TZKWorkFile(const TZKWorkFile&) = delete;
    TZKWorkFile& operator=(const TZKWorkFile&) = delete;

    // The operation object that carries verbosity, messages and progress;
    // null restores the one given at construction.
    TZKCore& Boss() const { return *FBoss; }
    void SetBoss(TZKCore* boss) { FBoss = boss ? boss : &fWorker; }
    TZKWorkDrive& WorkDrive() { return fWorkDrive; }

    const std::string& FileName() const { return fFileName; }
    // Closes the file and re-evaluates the drive, unless the name is unchanged.
    void SetFileName(const std::string& name);
    const std::string& RealFileName() const { return fRealFileName; }
    const std::string& ReqFileName() const { return FReqFileName; }
    void SetReqFileName(const std::string& name) { FReqFileName = name; }

    bool File_Open(uint32_t mode);
    void File_Close();
    bool IsOpen() const { return fIsOpen; }
    // The open file's descriptor, -1 when none is open.
    int Handle() const { return fFile ? fFile->Handle() : -1; }
    uint32_t OpenMode() const { return fOpenMode; }

    // origin: one of the kSeekFrom values. -1 on failure.
    int64_t Seek(int64_t offset, int origin);
    int64_t Position() { return Seek(0, kSeekFromCurrent); }
    void SetPosition(int64_t position) { Seek(position, kSeekFromStart); }

    // The count read (0 at the end) or -FileReadError. A negative len reads
    // its magnitude and must not be split across parts.
    int Read(void* buffer, int len);
    // Reads consecutive fields of the given sizes: the total or a negated
    // identifier. On a multi-part file no field is split across parts.
    int Reads(void* buffer, std::span<const int> sizes);
    bool CheckRead(void* buffer, int len);
    void CheckRead(void* buffer, int len, int errId);
    bool CheckReads(void* buffer, std::span<const int> sizes);
    void CheckReads(void* buffer, std::span<const int> sizes, int errId);
    // errId 0 means FileSeekError, -1 InputSeekError.
    int64_t CheckSeek(int64_t offset, int origin, int errId);
    // Copies count bytes to the stream: count, a read's negated identifier,
    // -FileWriteError when the stream takes less, -FileError on a short read.
    int64_t ReadTo(platform::TStream& dest, int64_t count);
    int SeekDisk(int n);

    // False (and time 0) when no file is open.
    bool LastWriteTime(int64_t& time) const;
    void SaveFileInformation();
    bool VerifyFileInformation() const;
    void ClearFileInformation() { fSavedFileInfo = {}; }
    const TZKFileInformation& SavedFileInformation() const { return fSavedFileInfo; }

    // Filters a progress report by ShowProgress and hands it to Boss; an
    // item without name takes the text of xprog (11401 and above).
    void ProgReport(TActionCodes action, int xprog, int64_t size, const std::string& name);

    int64_t File_Size() const { return fFile_Size; }
    void SetFile_Size(int64_t size) { fFile_Size = size; }
    int64_t RealFileSize() const { return fRealFileSize; }
    int DiskNr() const { return fDiskNr; }
    int TotalDisks() const { return fTotalDisks; }
    void SetTotalDisks(int count) { fTotalDisks = count; }
    bool IsMultiPart() const { return fIsMultiPart; }
    void SetIsMultiPart(bool value) { fIsMultiPart = value; }
    bool NewDisk() const { return FNewDisk; }
    void SetNewDisk(bool value) { FNewDisk = value; }
    TZipNumberScheme Numbering() const { return FNumbering; }
    void SetNumbering(TZipNumberScheme scheme) { FNumbering = scheme; }
    TZipFileSigs Sig() const { return fSig; }
    void SetSig(TZipFileSigs sig) { fSig = sig; }
    uint32_t Info() const { return fInfo; }
    void SetInfo(uint32_t info) { fInfo = info; }
    int64_t BytesRead() const { return fBytesRead; }
    uint32_t StampDate() const { return fStampDate; }
    void SetStampDate(uint32_t dosDateTime) { fStampDate = dosDateTime; }
    TZKShowProgress ShowProgress() const { return fShowProgress; }
    void SetShowProgress(TZKShowProgress mode) { fShowProgress = mode; }

protected:
    // Closes the current part and opens part n (from 0) of a multi-part
    // archive; raises EZipKeeper InputFileMissing when it is not there.
    void GetNewDisk(int n);
    // The file name of part n under the current (or a detected) scheme.
    std::string PartFileName(int n);

private:
    int64_t SystemRead(uint8_t* buffer, int64_t count);
    int MultiPartRead(uint8_t* buffer, int64_t wanted, bool unsplittable);
    bool AtEndOfPart();
    void StampFileDate(int handle);
    void Trace(const std::string& text);

    TZKCore& fWorker;
    TZKCore* FBoss;
    TZKWorkDrive fWorkDrive;
    std::string fFileName;
    std::string fRealFileName;
    std::string FReqFileName;
    std::unique_ptr<platform::TFileStream> fFile;
    bool fIsOpen = false;
    uint32_t fOpenMode = 0;
    int64_t fFile_Size = 0;
    int64_t fRealFileSize = 0;
    int fDiskNr = 0;
    int fTotalDisks = 0;
    bool fIsMultiPart = false;
    bool FNewDisk = false;
    TZipNumberScheme FNumbering = TZipNumberScheme::znsNone;
    TZipFileSigs fSig = TZipFileSigs::zfsNone;
    uint32_t fInfo = 0;
    int64_t fBytesRead = 0;
    TZKFileInformation fSavedFileInfo;
    uint32_t fStampDate = 0;
    TZKShowProgress fShowProgress = TZKShowProgress::zspNone;
};

}  // namespace lunaro::archive

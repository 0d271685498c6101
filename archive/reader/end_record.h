#pragma once
// Finding and reading the records at the end of an archive that say where
// its central directory is: the end record, and for large archives the Zip64
// locator and Zip64 end record. Damaged comments and bytes after the end
// record are tolerated (and reported as warning bits); an end record that
// cannot be found is not.
#include <cstdint>
#include <string>

#include "archive/reader/work_file.h"

namespace lunaro::archive {

// Warning bits of a successful OpenEOC.
inline constexpr int kEocCommentAnomaly = 1;  // comment or trailing bytes not as recorded
inline constexpr int kEocOffsetAnomaly = 2;   // recorded directory position disagrees

class TZKEOC : public TZKWorkFile {
public:
    explicit TZKEOC(TZKCore& worker) : TZKWorkFile(worker) {}

    // Opens the file when needed and reads its end records (and, unless
    // EOConly, the Zip64 ones). A negative message identifier on failure,
    // otherwise the warning bits.
    int OpenEOC(bool EOConly);
    // The fallback after OpenEOC failed with OpenRes: one retry of an
    // existing file, or the search for a numbered set of parts.
    int OpenLast(bool EOConly, int OpenRes);

    // The number of the part that holds the end record.
    int EndDiskNr() const { return fEndDiskNr; }
    uint32_t CentralDiskNo() const { return fCentralDiskNo; }
    uint32_t CentralEntries() const { return fCentralEntries; }
    int64_t CentralOffset() const { return fCentralOffset; }
    int64_t CentralSize() const { return fCentralSize; }
    int64_t EOCOffset() const { return fEOCOffset; }
    bool MultiDisk() const { return fMultiDisk; }
    int64_t OffsetDelta() const { return fOffsetDelta; }
    uint32_t TotalEntries() const { return fTotalEntries; }
    uint16_t VersionMadeBy() const { return fVersionMadeBy; }
    uint16_t VersionNeeded() const { return fVersionNeeded; }
    bool Z64() const { return fZ64; }
    int64_t Z64VSize() const { return fZ64VSize; }
    const std::string& ZipComment() const { return FZipComment; }
    void SetZipComment(std::string comment) { FZipComment = std::move(comment); }
    int ZipCommentLen() const { return static_cast<int>(FZipComment.size()); }
    // A smaller value truncates the comment; a larger one is ignored.
    void SetZipCommentLen(int length);

protected:
    int fEndDiskNr = 0;
    bool fMultiDisk = false;
    uint32_t fCentralDiskNo = 0;
    uint32_t fCentralEntries = 0;
    uint32_t fTotalEntries = 0;
    int64_t fCentralSize = 0;
    int64_t fCentralOffset = 0;
    int64_t fEOCOffset = 0;
    std::string FZipComment;
    bool fZ64 = false;
    uint16_t fVersionMadeBy = 0;
    uint16_t fVersionNeeded = 0;
    int64_t fZ64VSize = 0;
    int64_t fOffsetDelta = 0;

private:
    void ClearEndFields();
    // Both return a negative identifier, or the warning bits.
    int FindEndRecord(bool& needZip64, int& endDisk);
    int ReadZip64Records(uint16_t endRecordDisk, int& endDisk);
    int OpenNumberedSet(bool EOConly);
};

}  // namespace lunaro::archive

#include "archive/reader/end_record.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <optional>
#include <vector>

#include "archive/messages/message_ids.h"
#include "archive/operation/span_options.h"
#include "archive/reader/zip_bytes.h"
#include "archive/messages/zk_exception.h"
#include "platform/files.h"
#include "platform/text_case.h"

namespace lunaro::archive {

void TZKEOC::SetZipCommentLen(int length) {
    if (length >= 0 && length < ZipCommentLen()) FZipComment.resize(static_cast<size_t>(length));
}

void TZKEOC::ClearEndFields() {
    fEndDiskNr = 0;
    SetTotalDisks(0);
    fMultiDisk = false;
    fCentralDiskNo = 0;
    fCentralEntries = 0;
    fTotalEntries = 0;
    fCentralSize = 0;
    fCentralOffset = 0;
    fEOCOffset = 0;
    FZipComment.clear();
    fZ64 = false;
    fVersionMadeBy = 0;
    fVersionNeeded = 0;
    fZ64VSize = 0;
    fOffsetDelta = 0;
    SetSig(TZipFileSigs::zfsNone);
    SetFile_Size(0);
}

int TZKEOC::OpenEOC(bool EOConly) {
    try {
        bool needZip64 = false;
        const int found = FindEndRecord(needZip64, fEndDiskNr);
        if (found < 0) {
            File_Close();
            return found;
        }
        int result = found;
        if (needZip64 && !EOConly) {
            const int zip64 = ReadZip64Records(static_cast<uint16_t>(fEndDiskNr), fEndDiskNr);
            if (zip64 < 0) return zip64;
            result |= zip64;
        }
        return result;
    } catch (const EZipKeeper& e) {
        return -e.ResId();
    }
}

int TZKEOC::FindEndRecord(bool& needZip64, int& endDisk) {
    ClearEndFields();
    if (!IsOpen() && !File_Open(kOpenReadShared))
        return platform::FileExists(FileName()) ? -msg::ZipFileNotOpened : -msg::InputFileMissing;

    uint8_t head[8];
    if (Seek(0, kSeekFromStart) != 0 || Read(head, 4) != 4) return -msg::NotAZipArchive;
    const uint32_t first = GetU32(head);
    if ((first & 0xFFFF) == kStubSig) {
        SetSig(TZipFileSigs::zfsDOS);
    } else if (first == kLocalHeaderSig) {
        SetSig(TZipFileSigs::zfsLocal);
    } else if (first == kSpanMarkerSig && Read(head + 4, 4) == 4 && GetU32(head + 4) == kLocalHeaderSig) {
        SetSig(TZipFileSigs::zfsMulti);
        fMultiDisk = true;
    }

    const int64_t lastRecord = Seek(-kEndRecordSize, kSeekFromEnd);
    if (lastRecord < 0) return -msg::NotAZipArchive;
    const int64_t size = lastRecord + kEndRecordSize;
    SetFile_Size(size);

    // The fast path: an archive without a comment ends with its end record.
    uint8_t tail[kEndRecordSize];
    if (Read(tail, kEndRecordSize) != kEndRecordSize) return -msg::EndRecordReadError;
    const uint8_t* record = nullptr;
    int result = 0;
    if (GetU32(tail) == kEndRecordSig) {
        record = tail;
        fEOCOffset = size - kEndRecordSize;
        if (GetU16(tail + 20) != 0) result |= kEocCommentAnomaly;  // the comment it announces is missing
    }

    std::vector<uint8_t> window;
    if (record == nullptr) {
        const auto windowSize = static_cast<int>(std::min<int64_t>(size, kEndRecordWindow));
        window.resize(static_cast<size_t>(windowSize));
        if (Seek(size - windowSize, kSeekFromStart) < 0) return -msg::InputSeekError;
        if (Read(window.data(), windowSize) != windowSize) return -msg::EndRecordReadError;
        // The candidate nearest the end of the file wins; nothing else about it is checked.
        int match = windowSize - kEndRecordSize - 1;
        while (match >= 0 && GetU32(window.data() + match) != kEndRecordSig) --match;
        if (match < 0) return -msg::NotAZipArchive;
        record = window.data() + match;
        fEOCOffset = size - (windowSize - match);
        const int present = windowSize - match - kEndRecordSize;
        const int commentLength = std::min<int>(GetU16(record + 20), present);
        FZipComment.assign(reinterpret_cast<const char*>(record) + kEndRecordSize, static_cast<size_t>(commentLength));
        if (commentLength < present) {
            SetFile_Size(fEOCOffset + kEndRecordSize + commentLength);  // what follows is not ours
            result |= kEocCommentAnomaly;
        }
    }

    const uint16_t diskNumber = GetU16(record + 4);
    endDisk = diskNumber;
    fMultiDisk = fMultiDisk || diskNumber != 0;
    SetTotalDisks(diskNumber + 1);
    fCentralDiskNo = GetU16(record + 6);
    fCentralEntries = GetU16(record + 8);
    fTotalEntries = GetU16(record + 10);
    fCentralSize = GetU32(record + 12);
    fCentralOffset = GetU32(record + 16);
    needZip64 = fTotalEntries == kEscape16 || fCentralEntries == kEscape16 || diskNumber == kEscape16 ||
                fCentralDiskNo == kEscape16 || fCentralOffset == kEscape32 || fCentralSize == kEscape32;
    return result;
}

int TZKEOC::ReadZip64Records(uint16_t endRecordDisk, int& endDisk) {
    int64_t endPosition = fEOCOffset;
    if (fEOCOffset >= kZip64LocatorSize) {
        uint8_t locator[kZip64LocatorSize];
        if (Seek(fEOCOffset - kZip64LocatorSize, kSeekFromStart) < 0) return -msg::InputSeekError;
        if (Read(locator, kZip64LocatorSize) != kZip64LocatorSize) return -msg::EndRecordReadError;
        const uint32_t totalDisks = GetU32(locator + 16);
        if (GetU32(locator) == kZip64LocatorSig && (endRecordDisk != kEscape16 || totalDisks >= kEscape16)) {
            fZ64 = true;
            // The record must be on the last part, and the parts countable.
            const int64_t recordDisk = static_cast<int64_t>(totalDisks) - 1;
            if (totalDisks > INT_MAX || recordDisk != static_cast<int64_t>(GetU32(locator + 4)))
                return -msg::EndRecordReadError;
            SetTotalDisks(static_cast<int>(totalDisks));
            endDisk = static_cast<int>(recordDisk);
            const uint64_t recordOffset = GetU64(locator + 8);
            uint8_t z[kZip64EndRecordSize];
            if (recordOffset > static_cast<uint64_t>(INT64_MAX) || Seek(static_cast<int64_t>(recordOffset), kSeekFromStart) < 0)
                return -msg::InputSeekError;
            if (Read(z, kZip64EndRecordSize) != kZip64EndRecordSize) return -msg::EndRecordReadError;
            if (GetU32(z) == kZip64EndRecordSig) {
                const uint64_t recordSize = GetU64(z + 4);
                fVersionNeeded = GetU16(z + 14);
                if ((fVersionNeeded & 0xFF) > kZip64VersionNeeded || recordSize < 44) return -msg::UnsupportedZipVersion;
                fVersionMadeBy = GetU16(z + 12);
                fZ64VSize = static_cast<int64_t>(recordSize + 12);
                endPosition = static_cast<int64_t>(recordOffset);
                // Only the values the end record held as escapes are replaced.
                if (fCentralDiskNo == kEscape16) fCentralDiskNo = GetU32(z + 20);
                if (fTotalEntries == kEscape16) fTotalEntries = static_cast<uint32_t>(GetU64(z + 32));
                if (fCentralEntries == kEscape16) fCentralEntries = static_cast<uint32_t>(GetU64(z + 24));
                if (fCentralSize == kEscape32) fCentralSize = static_cast<int64_t>(GetU64(z + 40));
                if (fCentralOffset == kEscape32) fCentralOffset = static_cast<int64_t>(GetU64(z + 48));
            }
        }
    }
    fOffsetDelta = static_cast<int64_t>(static_cast<uint64_t>(endPosition) - static_cast<uint64_t>(fCentralSize) -
                                        static_cast<uint64_t>(fCentralOffset));
    return fOffsetDelta != 0 ? kEocOffsetAnomaly : 0;
}

int TZKEOC::OpenLast(bool EOConly, int OpenRes) {
    int result;
    if (OpenRes == -msg::InputFileMissing) {
        result = OpenNumberedSet(EOConly);
    } else if (IsOpen()) {
        result = -msg::ZipFileNotOpened;  // the end record was there; its Zip64 records were not usable
    } else {
        result = OpenEOC(EOConly);
        if (result < 0) result = -msg::NotAZipArchive;
    }
    if (result < 0) {
        File_Close();
        SetFileName("");
    }
    return result;
}

int TZKEOC::OpenNumberedSet(bool EOConly) {
    const std::string requested = FileName();
    const std::string extension = platform::ExtractFileExt(requested);
    if (!platform::SameTextAscii(extension, ".zip")) return -msg::InputFileMissing;
    const std::string base = requested.substr(0, requested.size() - extension.size());
    const bool anyTime = (Boss().Snapshot().SpanOptions & spAnyTime) != 0;
    std::optional<std::time_t> firstDate;
    for (int part = 1; part <= 1000; ++part) {
        const std::string name = base + std::to_string(part + 1000).substr(1) + ".zip";
        if (!platform::FileExists(name)) return -msg::InputFileMissing;
        const auto date = platform::FileLastWriteUnixTime(name);
        if (part == 1) firstDate = date;
        else if (!anyTime && date != firstDate) return -msg::InputFileMissing;
        SetFileName(name);
        const int result = OpenEOC(EOConly);
        if (result >= 0) {
            if (TotalDisks() != part) return -msg::ZipFileNotOpened;
            SetNumbering(TZipNumberScheme::znsName);
            return result;
        }
        if (IsOpen()) return -msg::ZipFileNotOpened;
    }
    return -msg::InputFileMissing;
}

}  // namespace lunaro::archive

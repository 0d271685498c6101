#include "engine/writer/entry_copy.h"

#include "engine/writer/positioned_read.h"

#include <algorithm>
#include <vector>

namespace lunaro::engine {

namespace {

constexpr uint32_t kLocalSig = 0x04034b50;
constexpr size_t kLocalSize = 30;
constexpr size_t kCopyPiece = 1 << 20;
constexpr uint64_t kMax32 = 0xFFFFFFFFu;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return static_cast<uint32_t>(Get16(p)) | static_cast<uint32_t>(Get16(p + 2)) << 16; }

}  // namespace

bool CopyEntry(int fd, archive::TZKIRec& rec, const TEntryChange& change, TArchiveOutput& out,
               const std::function<bool(uint64_t)>& onBytes, std::string& error) {
    const std::string shown(rec.DecodedName());
    const uint64_t headerAt = static_cast<uint64_t>(rec.RelOffLocalHdr());
    uint8_t header[kLocalSize];
    if (!ReadFullyAt(fd, header, sizeof header, headerAt) || Get32(header) != kLocalSig) {
        error = "the local header of \"" + shown + "\" cannot be read";
        return false;
    }
    const size_t nameLength = Get16(header + 26);
    std::string localExtra(Get16(header + 28), '\0');
    if (!ReadFullyAt(fd, localExtra.data(), localExtra.size(), headerAt + kLocalSize + nameLength)) {
        error = "the local header of \"" + shown + "\" cannot be read";
        return false;
    }
    uint64_t dataAt = headerAt + kLocalSize + nameLength + localExtra.size();

    std::vector<uint16_t> dropped{kZip64Tag};
    TWriterEntry entry;
    entry.Name = std::string(rec.RawName());
    entry.VersionMadeBy = rec.VersionMadeBy();
    entry.VersionNeeded = rec.VersionNeeded();
    entry.Flags = rec.Flag();
    entry.Method = rec.CompressionMethod();
    entry.DosTime = rec.DateTime();
    entry.Crc = rec.CRC32();
    entry.CompressedSize = static_cast<uint64_t>(rec.CompressedSize());
    entry.Size = static_cast<uint64_t>(rec.UncompressedSize());
    entry.InternalAttributes = rec.IntFileAttrib();
    entry.ExternalAttributes = rec.ExtFileAttrib();
    entry.Comment = std::string(rec.RawComment());
    if (change.Name) {
        // A Unicode path field would still name the entry by its old name.
        entry.Name = *change.Name;
        if (change.NameIsUtf8) entry.Flags |= kFlagUtf8;
        dropped.push_back(kUnicodePathTag);
    }
    if (change.DosTime) {
        // Readers prefer the extended timestamp to the DOS time: it goes.
        entry.DosTime = *change.DosTime;
        dropped.push_back(kTimestampTag);
    }
    entry.CentralExtra = WithoutFields(rec.RawExtra(), dropped);
    entry.Offset = out.Offset();

    const bool zip64Sizes = entry.Size >= kMax32 || entry.CompressedSize >= kMax32;
    if (!out.Write(LocalHeader(entry, WithoutFields(localExtra, dropped), zip64Sizes))) {
        error = out.Error();
        return false;
    }
    std::vector<uint8_t> piece(static_cast<size_t>(std::min<uint64_t>(kCopyPiece, entry.CompressedSize)));
    for (uint64_t left = entry.CompressedSize; left > 0;) {
        const size_t len = static_cast<size_t>(std::min<uint64_t>(left, piece.size()));
        if (!ReadFullyAt(fd, piece.data(), len, dataAt)) {
            error = "the data of \"" + shown + "\" cannot be read";
            return false;
        }
        if (!out.Write(piece.data(), len)) {
            error = out.Error();
            return false;
        }
        dataAt += len;
        left -= len;
        if (onBytes && !onBytes(len)) {
            error = "stopped";
            return false;
        }
    }
    if ((entry.Flags & kFlagDescriptor) != 0 && !out.Write(DataDescriptor(entry, zip64Sizes))) {
        error = out.Error();
        return false;
    }
    out.AddEntry(std::move(entry));
    return true;
}

}  // namespace lunaro::engine

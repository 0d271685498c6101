#pragma once
// A small zip writer for tests. It produces ordinary archives and, on
// request, the odd ones a reader must survive: stubs before the archive with
// or without adjusted offsets, comments whose declared length is wrong,
// bytes after the end record, Zip64 records, escaped sizes, wrong CRCs and
// arbitrary extra fields. Entries are always stored (method 0) unless a
// method number is given; the data bytes are written as given.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lunaro::testkit {

// CRC-32 of the zip format, computed bit by bit so that tests check the
// reader's table-driven CRC against an independent one.
uint32_t Crc32(std::string_view bytes);

// Little-endian field encoders.
std::string U16(uint32_t value);
std::string U32(uint32_t value);
std::string U64(uint64_t value);

// An extra-field block: tag, data size, data.
std::string ExtraBlock(uint16_t tag, std::string_view data);
// A Unicode Path (0x7075) or Unicode Comment (0x6375) block.
std::string UnicodeBlock(uint16_t tag, uint8_t version, uint32_t crc, std::string_view utf8);
// A Zip64 extended-information block with the given 64-bit values in order.
std::string Zip64Block(const std::vector<uint64_t>& values);

struct ZipEntrySpec {
    std::string name;  // stored bytes, as written into both headers
    std::string data;
    std::string comment;
    std::string extra;  // central extra field (the local one stays empty)
    uint16_t flag = 0;
    uint16_t method = 0;
    uint16_t versionMadeBy = 20;  // host 0 (MS-DOS), version 2.0
    uint16_t versionNeeded = 20;
    uint32_t dosDateTime = 0x5A2B6000;  // 2025-01-11 12:00:00
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    // Values written into the central header instead of the true ones.
    std::optional<uint32_t> crc;
    std::optional<uint32_t> compressedSize;
    std::optional<uint32_t> uncompressedSize;
    std::optional<uint32_t> localOffset;
    std::optional<uint16_t> diskStart;
    // Writes a different name into the local header.
    std::optional<std::string> localName;
};

// Fields of the end record; unset ones take the true values.
struct EndRecordSpec {
    std::optional<uint16_t> diskNumber;
    std::optional<uint16_t> centralDisk;
    std::optional<uint16_t> entriesOnDisk;
    std::optional<uint16_t> totalEntries;
    std::optional<uint32_t> centralSize;
    std::optional<uint32_t> centralOffset;
    std::optional<uint16_t> commentLength;  // declared; the bytes are `comment`
    std::string comment;
};

// A Zip64 end record and locator written before the end record.
struct Zip64Spec {
    uint16_t versionMadeBy = 45;
    uint16_t versionNeeded = 45;
    uint64_t recordSize = 44;  // the record's size field
    uint32_t signature = 0x06064B50;
    uint32_t locatorSignature = 0x07064B50;
    uint32_t locatorRecordDisk = 0;
    uint32_t locatorTotalDisks = 1;
    std::optional<uint64_t> locatorRecordOffset;  // default: where the record is
    std::optional<uint32_t> centralDisk;
    std::optional<uint64_t> entriesOnDisk;
    std::optional<uint64_t> totalEntries;
    std::optional<uint64_t> centralSize;
    std::optional<uint64_t> centralOffset;
    bool writeRecord = true;  // false: only the locator
};

class ZipBuilder {
public:
    ZipBuilder& Add(ZipEntrySpec entry);
    ZipBuilder& AddFile(const std::string& name, const std::string& data);
    // Bytes before the archive. With adjustOffsets the recorded offsets
    // count them (as a self-extractor's would); without, they are relative
    // to the archive start.
    ZipBuilder& Prefix(std::string bytes, bool adjustOffsets);
    ZipBuilder& End(EndRecordSpec end);
    ZipBuilder& Zip64(Zip64Spec zip64);
    ZipBuilder& Trailer(std::string bytes);

    std::string Build() const;

    // Where the central directory starts in the built file.
    uint64_t CentralStart() const;

private:
    std::string BuildLocalPart(std::vector<uint64_t>& offsets) const;

    std::vector<ZipEntrySpec> entries_;
    std::string prefix_;
    bool adjustOffsets_ = true;
    EndRecordSpec end_;
    std::optional<Zip64Spec> zip64_;
    std::string trailer_;
};

}  // namespace lunaro::testkit

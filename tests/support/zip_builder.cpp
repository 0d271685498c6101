#include "tests/support/zip_builder.h"

namespace lunaro::testkit {

uint32_t Crc32(std::string_view bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string U16(uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string U32(uint32_t value) { return U16(value & 0xFFFF) + U16(value >> 16); }

std::string U64(uint64_t value) {
    return U32(static_cast<uint32_t>(value)) + U32(static_cast<uint32_t>(value >> 32));
}

std::string ExtraBlock(uint16_t tag, std::string_view data) {
    return U16(tag) + U16(static_cast<uint32_t>(data.size())) + std::string(data);
}

std::string UnicodeBlock(uint16_t tag, uint8_t version, uint32_t crc, std::string_view utf8) {
    return ExtraBlock(tag, std::string(1, static_cast<char>(version)) + U32(crc) + std::string(utf8));
}

std::string Zip64Block(const std::vector<uint64_t>& values) {
    std::string data;
    for (uint64_t value : values) data += U64(value);
    return ExtraBlock(0x0001, data);
}

ZipBuilder& ZipBuilder::Add(ZipEntrySpec entry) {
    entries_.push_back(std::move(entry));
    return *this;
}

ZipBuilder& ZipBuilder::AddFile(const std::string& name, const std::string& data) {
    ZipEntrySpec entry;
    entry.name = name;
    entry.data = data;
    return Add(std::move(entry));
}

ZipBuilder& ZipBuilder::Prefix(std::string bytes, bool adjustOffsets) {
    prefix_ = std::move(bytes);
    adjustOffsets_ = adjustOffsets;
    return *this;
}

ZipBuilder& ZipBuilder::End(EndRecordSpec end) {
    end_ = std::move(end);
    return *this;
}

ZipBuilder& ZipBuilder::Zip64(Zip64Spec zip64) {
    zip64_ = zip64;
    return *this;
}

ZipBuilder& ZipBuilder::Trailer(std::string bytes) {
    trailer_ = std::move(bytes);
    return *this;
}

std::string ZipBuilder::BuildLocalPart(std::vector<uint64_t>& offsets) const {
    std::string out;
    for (const ZipEntrySpec& e : entries_) {
        offsets.push_back(out.size());
        const std::string& localName = e.localName ? *e.localName : e.name;
        out += U32(0x04034B50) + U16(e.versionNeeded) + U16(e.flag) + U16(e.method) + U32(e.dosDateTime) +
               U32(Crc32(e.data)) + U32(static_cast<uint32_t>(e.data.size())) +
               U32(static_cast<uint32_t>(e.data.size())) + U16(static_cast<uint32_t>(localName.size())) +
               U16(0) + localName + e.data;
    }
    return out;
}

uint64_t ZipBuilder::CentralStart() const {
    std::vector<uint64_t> offsets;
    return prefix_.size() + BuildLocalPart(offsets).size();
}

std::string ZipBuilder::Build() const {
    std::vector<uint64_t> offsets;
    const std::string local = BuildLocalPart(offsets);
    const uint64_t base = adjustOffsets_ ? prefix_.size() : 0;

    std::string central;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const ZipEntrySpec& e = entries_[i];
        const auto size = static_cast<uint32_t>(e.data.size());
        central += U32(0x02014B50) + U16(e.versionMadeBy) + U16(e.versionNeeded) + U16(e.flag) + U16(e.method) +
                   U32(e.dosDateTime) + U32(e.crc.value_or(Crc32(e.data))) + U32(e.compressedSize.value_or(size)) +
                   U32(e.uncompressedSize.value_or(size)) + U16(static_cast<uint32_t>(e.name.size())) +
                   U16(static_cast<uint32_t>(e.extra.size())) + U16(static_cast<uint32_t>(e.comment.size())) +
                   U16(e.diskStart.value_or(0)) + U16(e.internalAttributes) + U32(e.externalAttributes) +
                   U32(e.localOffset.value_or(static_cast<uint32_t>(base + offsets[i]))) + e.name + e.extra +
                   e.comment;
    }

    const uint64_t centralOffset = base + local.size();
    const auto count = static_cast<uint64_t>(entries_.size());
    std::string out = prefix_ + local + central;

    if (zip64_) {
        const Zip64Spec& z = *zip64_;
        const uint64_t recordOffset = out.size() - prefix_.size() + base;
        if (z.writeRecord) {
            std::string record = U32(z.signature) + U64(z.recordSize) + U16(z.versionMadeBy) +
                                 U16(z.versionNeeded) + U32(0) + U32(z.centralDisk.value_or(0)) +
                                 U64(z.entriesOnDisk.value_or(count)) + U64(z.totalEntries.value_or(count)) +
                                 U64(z.centralSize.value_or(central.size())) +
                                 U64(z.centralOffset.value_or(centralOffset));
            out += record;
        }
        out += U32(z.locatorSignature) + U32(z.locatorRecordDisk) +
               U64(z.locatorRecordOffset.value_or(recordOffset)) + U32(z.locatorTotalDisks);
    }

    const auto count16 = static_cast<uint16_t>(count > 0xFFFF ? 0xFFFF : count);
    out += U32(0x06054B50) + U16(end_.diskNumber.value_or(0)) + U16(end_.centralDisk.value_or(0)) +
           U16(end_.entriesOnDisk.value_or(count16)) + U16(end_.totalEntries.value_or(count16)) +
           U32(end_.centralSize.value_or(static_cast<uint32_t>(central.size()))) +
           U32(end_.centralOffset.value_or(static_cast<uint32_t>(centralOffset))) +
           U16(end_.commentLength.value_or(static_cast<uint16_t>(end_.comment.size()))) + end_.comment;
    return out + trailer_;
}

}  // namespace lunaro::testkit

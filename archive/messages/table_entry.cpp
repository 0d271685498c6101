#include "archive/messages/table_entry.h"

#include "archive/messages/lz77.h"

namespace lunaro::archive {

namespace {

uint16_t U16(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace

std::vector<TableEntry> ReadTableEntries(std::span<const uint8_t> resource) {
    std::vector<TableEntry> entries;
    size_t pos = 0;
    while (resource.size() - pos >= 6) {
        TableEntry entry;
        entry.lcid = U16(resource, pos);
        const size_t declared = U16(resource, pos + 2);
        const size_t nameLength = U16(resource, pos + 4);
        const size_t sizeField = pos + 6 + nameLength;
        if (declared < 4 || sizeField + 4 > resource.size()) break;
        entry.name.assign(reinterpret_cast<const char*>(resource.data() + pos + 6), nameLength);
        entry.imageSize = static_cast<uint32_t>(U16(resource, sizeField)) |
                          (static_cast<uint32_t>(U16(resource, sizeField + 2)) << 16);
        entry.compressedLength = declared - 4;
        const size_t dataStart = sizeField + 4;
        const size_t present = resource.size() - dataStart;
        entry.data = resource.subspan(dataStart, entry.compressedLength < present ? entry.compressedLength : present);
        entries.push_back(std::move(entry));
        pos = dataStart + entries.back().compressedLength;
        if (pos > resource.size()) break;
    }
    return entries;
}

std::optional<std::vector<uint8_t>> UnpackTableEntry(const TableEntry& entry) {
    if (entry.imageSize >= kMaxTableImage) return std::nullopt;
    std::vector<uint8_t> image;
    if (Lz77Decode(entry.data, entry.compressedLength, entry.imageSize, image) != kLz77Ok) return std::nullopt;
    image.push_back(0xFF);
    image.push_back(0xFF);
    return image;
}

}  // namespace lunaro::archive

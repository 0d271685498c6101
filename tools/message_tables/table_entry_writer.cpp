#include "tools/message_tables/table_entry_writer.h"

#include <string>

#include "platform/utf8.h"
#include "tools/message_tables/lz77_encoder.h"
#include "tools/message_tables/string_table_image.h"

namespace lunaro::tools {

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

std::vector<uint8_t> ComposeTableEntry(uint16_t lcid, std::string_view name, std::span<const uint8_t> image) {
    const std::string what = "table " + std::string(name);
    if (image.size() > kMaxImageSize)
        throw MessageSourceError(what + ": image of " + std::to_string(image.size()) + " bytes is too large");
    if (name.size() > 0xFFFF) throw MessageSourceError(what + ": code name too long");
    const std::vector<uint8_t> packed = Lz77Encode(image);
    if (packed.size() > kMaxCompressedSize)
        throw MessageSourceError(what + ": compressed data of " + std::to_string(packed.size()) + " bytes is too large");

    std::vector<uint8_t> entry;
    PutU16(entry, lcid);
    PutU16(entry, static_cast<uint32_t>(packed.size() + 4));
    PutU16(entry, static_cast<uint32_t>(name.size()));
    entry.insert(entry.end(), name.begin(), name.end());
    const auto imageSize = static_cast<uint32_t>(image.size());
    PutU16(entry, imageSize & 0xFFFF);
    PutU16(entry, imageSize >> 16);
    entry.insert(entry.end(), packed.begin(), packed.end());
    return entry;
}

std::vector<uint8_t> BuildTableEntry(const MessageSource& source) {
    std::map<int, std::u16string> wide;
    for (const auto& [ident, text] : source.texts) wide.emplace(ident, platform::Utf8ToUtf16(text));
    const std::vector<uint8_t> image = BuildStringTableImage(wide, source.lcid);
    return ComposeTableEntry(source.lcid, source.name, image);
}

}  // namespace lunaro::tools

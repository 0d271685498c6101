#include "archive/reader/extra_fields.h"

#include <zlib.h>

#include "archive/reader/zip_bytes.h"

namespace lunaro::archive {

namespace {
const uint8_t* Bytes(std::string_view s) { return reinterpret_cast<const uint8_t*>(s.data()); }
}  // namespace

std::optional<std::string_view> FindExtraBlock(std::string_view extra, uint16_t tag) {
    size_t pos = 0;
    // A header alone in the last four bytes is never looked at.
    while (extra.size() - pos >= 5) {
        const uint16_t blockTag = GetU16(Bytes(extra) + pos);
        const size_t blockSize = 4 + static_cast<size_t>(GetU16(Bytes(extra) + pos + 2));
        if (blockTag == tag) {
            if (blockSize > extra.size() - pos) return std::nullopt;
            return extra.substr(pos, blockSize);
        }
        if (blockSize >= extra.size() - pos) return std::nullopt;
        pos += blockSize;
    }
    return std::nullopt;
}

std::optional<std::string_view> ExtraBlockData(std::string_view extra, uint16_t tag) {
    auto block = FindExtraBlock(extra, tag);
    if (!block) return std::nullopt;
    return block->substr(4);
}

bool IsWellFormedUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        size_t length;
        if (lead < 0x80) length = 1;
        else if ((lead & 0xE0) == 0xC0) length = 2;
        else if ((lead & 0xF0) == 0xE0) length = 3;
        else if ((lead & 0xF8) == 0xF0) length = 4;
        else if ((lead & 0xFC) == 0xF8) length = 5;
        else if ((lead & 0xFE) == 0xFC) length = 6;
        else return false;
        if (length > text.size() - i) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if (next < 0x80 || next > 0xBF) return false;
        }
        i += length;
    }
    return true;
}

std::optional<std::string_view> UnicodeFieldText(std::string_view extra, uint16_t tag, std::string_view stored) {
    auto data = ExtraBlockData(extra, tag);
    if (!data || data->size() < 6 || static_cast<uint8_t>((*data)[0]) != 1) return std::nullopt;
    const uint32_t storedCrc = static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), Bytes(stored), static_cast<uInt>(stored.size())));
    if (GetU32(Bytes(*data) + 1) != storedCrc) return std::nullopt;
    std::string_view text = data->substr(5);
    if (!IsWellFormedUtf8(text)) return std::nullopt;
    return text;
}

}  // namespace lunaro::archive

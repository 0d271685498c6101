#include "archive/messages/string_table.h"

namespace lunaro::archive {

namespace {

constexpr uint16_t kStringType = 6;
constexpr int kMaxBlock = 0xFFFF;

uint16_t U16(std::span<const uint8_t> image, size_t at) {
    return static_cast<uint16_t>(image[at] | (image[at + 1] << 8));
}

uint32_t U32(std::span<const uint8_t> image, size_t at) {
    return static_cast<uint32_t>(U16(image, at)) | (static_cast<uint32_t>(U16(image, at + 2)) << 16);
}

std::optional<std::u16string> StringInBlock(std::span<const uint8_t> data, int slot) {
    size_t pos = 0;
    for (int i = 0;; ++i) {
        if (pos + 2 > data.size()) return std::nullopt;
        const size_t count = U16(data, pos);
        pos += 2;
        if (pos + 2 * count > data.size()) return std::nullopt;
        if (i == slot) {
            if (count == 0) return std::nullopt;
            std::u16string text(count, u'\0');
            for (size_t c = 0; c < count; ++c) text[c] = static_cast<char16_t>(U16(data, pos + 2 * c));
            return text;
        }
        pos += 2 * count;
    }
}

}  // namespace

std::optional<std::u16string> FindStringInImage(std::span<const uint8_t> image, int ident) {
    if (ident < 0 || ident / 16 + 1 > kMaxBlock) return std::nullopt;
    const auto block = static_cast<uint16_t>(ident / 16 + 1);
    size_t pos = 0;
    while (image.size() - pos >= 20) {
        const uint64_t dataSize = U32(image, pos);
        const uint64_t headerSize = U32(image, pos + 4);
        if (dataSize + headerSize < 8) return std::nullopt;
        const bool isBlock = headerSize >= 16 && U16(image, pos + 8) == 0xFFFF &&
                             U16(image, pos + 10) == kStringType && U16(image, pos + 12) == 0xFFFF &&
                             U16(image, pos + 14) == block;
        if (isBlock) {
            if (headerSize + dataSize > image.size() - pos) return std::nullopt;
            return StringInBlock(image.subspan(pos + headerSize, dataSize), ident % 16);
        }
        const uint64_t next = pos + ((headerSize + dataSize + 3) & ~uint64_t{3});
        if (next > image.size()) return std::nullopt;
        pos = static_cast<size_t>(next);
    }
    return std::nullopt;
}

}  // namespace lunaro::archive

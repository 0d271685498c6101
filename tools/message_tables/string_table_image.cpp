#include "tools/message_tables/string_table_image.h"

namespace lunaro::tools {

namespace {

constexpr uint32_t kHeaderSize = 32;
constexpr uint16_t kStringType = 6;
constexpr uint16_t kMemoryFlags = 0x1030;  // moveable, pure, discardable

void PutU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    PutU16(out, static_cast<uint16_t>(value & 0xFFFF));
    PutU16(out, static_cast<uint16_t>(value >> 16));
}

void PutRecord(std::vector<uint8_t>& out, uint16_t type, uint16_t name, uint16_t lcid,
               const std::vector<uint8_t>& data) {
    PutU32(out, static_cast<uint32_t>(data.size()));
    PutU32(out, kHeaderSize);
    PutU16(out, 0xFFFF);
    PutU16(out, type);
    PutU16(out, 0xFFFF);
    PutU16(out, name);
    PutU32(out, 0);  // data version
    PutU16(out, type == 0 ? 0 : kMemoryFlags);
    PutU16(out, lcid);
    PutU32(out, 0);  // version
    PutU32(out, 0);  // characteristics
    out.insert(out.end(), data.begin(), data.end());
    while (out.size() % 4 != 0) out.push_back(0);
}

}  // namespace

std::vector<uint8_t> BuildStringTableImage(const std::map<int, std::u16string>& texts, uint16_t lcid) {
    std::vector<uint8_t> image;
    PutRecord(image, 0, 0, 0, {});
    auto it = texts.begin();
    while (it != texts.end()) {
        const int block = it->first / 16;
        std::vector<uint8_t> data;
        for (int slot = 0; slot < 16; ++slot) {
            if (it != texts.end() && it->first == block * 16 + slot) {
                PutU16(data, static_cast<uint16_t>(it->second.size()));
                for (char16_t unit : it->second) PutU16(data, static_cast<uint16_t>(unit));
                ++it;
            } else {
                PutU16(data, 0);
            }
        }
        PutRecord(image, kStringType, static_cast<uint16_t>(block + 1), lcid, data);
    }
    return image;
}

}  // namespace lunaro::tools

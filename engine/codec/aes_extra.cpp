#include "engine/codec/decryptor.h"

namespace lunaro::engine {
namespace {

constexpr uint16_t kAesExtraId = 0x9901;
constexpr size_t kPayloadSize = 7;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

size_t AesSaltSize(int strength) {
    switch (strength) {
        case 1: return 8;
        case 2: return 12;
        case 3: return 16;
        default: return 0;
    }
}

bool ParseAesExtra(const uint8_t* data, size_t len, TAesExtra& out) {
    if (data == nullptr) return false;
    // Accept the field with its id and size in front, too: a payload can
    // never start with the id, as its first word is the version 1 or 2.
    if (len >= 4 && Le16(data) == kAesExtraId) {
        const size_t size = Le16(data + 2);
        if (size > len - 4) return false;
        data += 4;
        len = size;
    }
    if (len < kPayloadSize) return false;
    const uint16_t version = Le16(data);
    if (version != 1 && version != 2) return false;
    if (data[2] != 'A' || data[3] != 'E') return false;
    if (AesSaltSize(data[4]) == 0) return false;
    out.Version = version;
    out.Strength = data[4];
    out.Method = Le16(data + 5);
    return true;
}

}  // namespace lunaro::engine

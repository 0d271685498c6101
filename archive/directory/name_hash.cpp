#include "archive/directory/name_hash.h"

#include "platform/utf8.h"

namespace lunaro::archive {

namespace {

inline uint32_t Mix(uint32_t h, uint32_t unit) {
    h = (h << 4) + unit;
    if (h >= 0x10000000u) h = (h ^ ((h >> 28) << 4)) & 0x0FFFFFFFu;
    return h;
}

}  // namespace

uint32_t NameHash(std::string_view utf8Name) {
    uint32_t h = 0;
    size_t pos = 0;
    while (pos < utf8Name.size()) {
        const auto byte = static_cast<uint8_t>(utf8Name[pos]);
        if (byte < 0x80) {  // most names are ASCII
            h = Mix(h, byte);
            ++pos;
            continue;
        }
        const size_t start = pos;
        char32_t cp = platform::DecodeUtf8(utf8Name, pos);
        // Decoded names are valid UTF-8; a stray byte still hashes as itself.
        if (cp == platform::kInvalidCodePoint) cp = static_cast<uint8_t>(utf8Name[start]);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            h = Mix(h, 0xD800 + (v >> 10));
            h = Mix(h, 0xDC00 + (v & 0x3FF));
        } else {
            h = Mix(h, cp);
        }
    }
    return h;
}

}  // namespace lunaro::archive

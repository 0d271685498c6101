#include "archive/driver/engine_text.h"

#include <cstring>

#include "platform/code_pages.h"
#include "platform/utf8.h"

namespace lunaro::archive {

std::string EngineText(const uint8_t* text, bool wide) {
    if (!text) return {};
    if (wide) {
        std::u16string units;
        for (size_t i = 0; i < kMaxEngineText; ++i) {
            char16_t unit;
            std::memcpy(&unit, text + i * sizeof unit, sizeof unit);  // the engine's buffer may be unaligned
            if (unit == 0) break;
            units.push_back(unit);
        }
        return platform::Utf16ToUtf8(units);
    }
    const std::string bytes(reinterpret_cast<const char*>(text),
                            ::strnlen(reinterpret_cast<const char*>(text), kMaxEngineText));
    return platform::IsValidUtf8(bytes) ? bytes : platform::CodePageToUtf8(bytes, platform::kAnsiCodePage);
}

}  // namespace lunaro::archive

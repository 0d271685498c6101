#include "engine/writer/name_encoding.h"

#include "platform/code_pages.h"

namespace lunaro::engine {

TStoredName StoredName(const std::string& utf8, bool preferOem) {
    bool ascii = true;
    for (const char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return {utf8, false};
    if (preferOem) {
        bool exact = false;
        std::string oem = platform::Utf8ToCodePage(utf8, platform::OemCodePage(), &exact);
        if (exact) return {std::move(oem), false};
    }
    return {utf8, true};
}

}  // namespace lunaro::engine

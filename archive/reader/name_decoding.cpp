#include "archive/reader/name_decoding.h"

#include <algorithm>

#include "platform/code_pages.h"

namespace lunaro::archive {

namespace {

bool NeedsConversion(std::string_view raw) {
    return std::any_of(raw.begin(), raw.end(), [](char c) {
        const auto byte = static_cast<uint8_t>(c);
        return byte < 31 || byte > 126;
    });
}

// Empty when the code page is one the system cannot convert from.
std::string FromCodePage(std::string_view raw, int codePage) {
    if (!platform::IsKnownCodePage(codePage)) return {};
    return platform::CodePageToUtf8(raw, codePage);
}

// UTF-8 that holds an invalid sequence is taken as ANSI text instead.
std::string FromUtf8(std::string_view text) {
    if (platform::IsValidUtf8(text)) return std::string(text);
    return FromCodePage(text, platform::AnsiCodePage());
}

}  // namespace

bool DecodesAsStored(std::string_view raw, TZKEncodingOpts encoding) {
    return encoding != TZKEncodingOpts::zeoUPath && !NeedsConversion(raw);
}

std::string DecodeStoredText(std::string_view raw, TZKEncodingOpts encoding, uint32_t codePage,
                             std::optional<std::string_view> unicodeText) {
    if (DecodesAsStored(raw, encoding)) return std::string(raw);
    std::string text;
    {
        switch (encoding) {
            case TZKEncodingOpts::zeoNone:
                text = FromCodePage(raw, codePage == 0 ? platform::AnsiCodePage() : static_cast<int>(codePage));
                break;
            case TZKEncodingOpts::zeoOEM: text = FromCodePage(raw, platform::OemCodePage()); break;
            case TZKEncodingOpts::zeoUTF8: text = FromUtf8(raw); break;
            case TZKEncodingOpts::zeoUPath:
                if (unicodeText) text = FromUtf8(*unicodeText);
                break;
            case TZKEncodingOpts::zeoAuto: break;
        }
    }
    if (!text.empty()) return text;
    // ASCII is itself in every ANSI code page: no conversion needed.
    if (std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<uint8_t>(c) < 0x80; }))
        return std::string(raw);
    return platform::CodePageToUtf8(raw, platform::kAnsiCodePage);
}

}  // namespace lunaro::archive

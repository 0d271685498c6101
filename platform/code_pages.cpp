#include "platform/code_pages.h"

#include <charconv>
#include <optional>

#include "platform/charset_conversion.h"
#include "platform/environment.h"

namespace lunaro::platform {

namespace {

constexpr int kDefaultOem = 850;
constexpr int kDefaultAnsi = 1252;

std::optional<std::string> CharsetName(int codePage) {
    if (codePage == kUtf8CodePage) return "UTF-8";
    if (codePage == 20127) return "ASCII";
    if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
    if (codePage == 28603) return "ISO-8859-13";
    if (codePage == 28605) return "ISO-8859-15";
    if (codePage == 20866) return "KOI8-R";
    if (codePage == 21866) return "KOI8-U";
    // 1200/1201 are UTF-16 and 12000/12001 UTF-32: not byte code pages.
    if (codePage <= 1 || codePage == 1200 || codePage == 1201 || codePage == 12000 || codePage == 12001)
        return std::nullopt;
    return "CP" + std::to_string(codePage);
}

int CodePageFromEnvironment(const char* variable, int fallback) {
    const std::string text = EnvironmentValue(variable);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !IsKnownCodePage(value)) return fallback;
    return value;
}

int Resolved(int codePage) {
    if (codePage == kAnsiCodePage) return AnsiCodePage();
    if (codePage == kOemCodePage) return OemCodePage();
    return codePage;
}

// What passes without a conversion table: UTF-8 kept as UTF-8, or the ASCII
// part of text in an unknown code page (read byte by byte) or headed for one
// (read as UTF-8 characters).
enum class Passing { Utf8, AsciiBytes, AsciiCharacters };

std::string WithoutTable(std::string_view text, Passing passing, bool* exact) {
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        const char32_t codePoint =
            passing == Passing::AsciiBytes ? static_cast<unsigned char>(text[pos++]) : DecodeUtf8(text, pos);
        if (codePoint == kInvalidCodePoint || (passing != Passing::Utf8 && codePoint >= 0x80)) {
            out += '?';
            if (exact) *exact = false;
        } else {
            out.append(text.substr(start, pos - start));
        }
    }
    return out;
}

}  // namespace

int OemCodePage() { return CodePageFromEnvironment("LUNARO_OEMCP", kDefaultOem); }
int AnsiCodePage() { return CodePageFromEnvironment("LUNARO_ACP", kDefaultAnsi); }

bool IsKnownCodePage(int codePage) {
    const auto name = CharsetName(codePage);
    return name && CharsetAvailable(*name, "UTF-8");
}

std::string CodePageToUtf8(std::string_view bytes, int codePage, bool* exact) {
    codePage = Resolved(codePage);
    if (codePage == kUtf8CodePage) return WithoutTable(bytes, Passing::Utf8, exact);
    const auto name = CharsetName(codePage);
    if (auto converted = name ? ConvertCharset(bytes, *name, "UTF-8", exact) : std::nullopt) return *converted;
    return WithoutTable(bytes, Passing::AsciiBytes, exact);
}

std::string Utf8ToCodePage(std::string_view text, int codePage, bool* exact) {
    codePage = Resolved(codePage);
    if (codePage == kUtf8CodePage) return WithoutTable(text, Passing::Utf8, exact);
    const auto name = CharsetName(codePage);
    if (auto converted = name ? ConvertCharset(text, "UTF-8", *name, exact) : std::nullopt) return *converted;
    return WithoutTable(text, Passing::AsciiCharacters, exact);
}

}  // namespace lunaro::platform

#include "platform/text_case.h"

#include <wctype.h>

#include <utility>

#include "platform/utf8.h"

namespace lunaro::platform {

namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Created once; null when the C library has no UTF-8 variant of the C
// locale, which leaves ASCII-only upper-casing. Freed when this code goes
// away, because that happens at every unload of the extraction engine, which
// holds its own copy: kept, it would be lost once per load. Anything still
// upper-casing after that (other objects' destructors at exit) finds it null.
struct InvariantLocaleHolder {
    locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    ~InvariantLocaleHolder() {
        if (locale != static_cast<locale_t>(nullptr)) freelocale(std::exchange(locale, static_cast<locale_t>(nullptr)));
    }
};

locale_t InvariantLocale() {
    static InvariantLocaleHolder holder;
    return holder.locale;
}

}  // namespace

std::string AsciiUpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

std::string UpperCaseWithLocale(std::string_view text, locale_t locale) {
    if (locale == static_cast<locale_t>(nullptr)) return AsciiUpperCase(text);
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        const char32_t codePoint = DecodeUtf8(text, pos);
        if (codePoint == kInvalidCodePoint) {
            out.append(text.substr(start, pos - start));
            continue;
        }
        AppendUtf8(out, static_cast<char32_t>(towupper_l(static_cast<wint_t>(codePoint), locale)));
    }
    return out;
}

std::string InvariantUpperCase(std::string_view text) { return UpperCaseWithLocale(text, InvariantLocale()); }

bool SameTextInvariant(std::string_view a, std::string_view b) {
    if (a == b) return true;
    return InvariantUpperCase(a) == InvariantUpperCase(b);
}

}  // namespace lunaro::platform

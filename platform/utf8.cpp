#include "platform/utf8.h"

namespace lunaro::platform {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool IsScalarValue(char32_t codePoint) {
    return codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, size_t& pos) {
    if (pos >= text.size()) return kInvalidCodePoint;
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        ++pos;
        return kInvalidCodePoint;
    }
    if (text.size() - pos < length) {
        ++pos;
        return kInvalidCodePoint;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(byte)) {
            ++pos;
            return kInvalidCodePoint;
        }
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    if (codePoint < smallest || !IsScalarValue(codePoint)) {
        ++pos;
        return kInvalidCodePoint;
    }
    pos += length;
    return codePoint;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (!IsScalarValue(codePoint)) {
        out += '?';
    } else if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size())
        if (DecodeUtf8(text, pos) == kInvalidCodePoint) return false;
    return true;
}

std::u16string Utf8ToUtf16(std::string_view text, bool* exact) {
    std::u16string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const char32_t codePoint = DecodeUtf8(text, pos);
        if (codePoint == kInvalidCodePoint) {
            out += u'?';
            if (exact) *exact = false;
        } else if (codePoint >= 0x10000) {
            const char32_t offset = codePoint - 0x10000;
            out += static_cast<char16_t>(0xD800 | (offset >> 10));
            out += static_cast<char16_t>(0xDC00 | (offset & 0x3FF));
        } else {
            out += static_cast<char16_t>(codePoint);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text, bool* exact) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            out += '?';
            if (exact) *exact = false;
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace lunaro::platform

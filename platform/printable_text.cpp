#include "platform/printable_text.h"

#include "platform/utf8.h"

namespace lunaro::platform {

namespace {

void AppendEscaped(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
}

bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t start = pos;
        const char32_t codePoint = DecodeUtf8(text, pos);
        const std::string_view sequence = text.substr(start, pos - start);
        if (codePoint == kInvalidCodePoint || IsControl(codePoint)) {
            AppendEscaped(out, sequence);
        } else {
            out += sequence;
        }
    }
    return out;
}

}  // namespace lunaro::platform

#include "archive/messages/message_format.h"

#include <cctype>
#include <cstdio>

namespace lunaro::archive {

namespace {

struct Spec {
    bool leftAlign = false;
    int width = 0;
    int precision = -1;
    char kind = 0;
};

constexpr int kMaxCount = 1000;

// Reads digits without letting a hostile width or precision grow unbounded.
int ReadCount(std::string_view text, size_t& pos) {
    int value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        if (value > kMaxCount) value = kMaxCount;
        ++pos;
    }
    return value;
}

std::string Digits(const Spec& spec, int64_t value) {
    char buffer[32];
    const auto magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (spec.kind == 'x' || spec.kind == 'X')
        std::snprintf(buffer, sizeof buffer, spec.kind == 'x' ? "%llx" : "%llX",
                      static_cast<unsigned long long>(static_cast<uint64_t>(value)));
    else
        std::snprintf(buffer, sizeof buffer, "%llu", static_cast<unsigned long long>(magnitude));
    std::string digits = buffer;
    if (spec.precision > 0 && digits.size() < static_cast<size_t>(spec.precision))
        digits.insert(0, static_cast<size_t>(spec.precision) - digits.size(), '0');
    if (value < 0 && spec.kind != 'x' && spec.kind != 'X') digits.insert(0, 1, '-');
    return digits;
}

std::string Render(const Spec& spec, const TZKFormatArg& arg) {
    std::string text;
    if (const auto* number = std::get_if<int64_t>(&arg)) {
        text = Digits(spec, *number);
    } else {
        text = std::get<std::string>(arg);
        if (spec.kind == 's' && spec.precision >= 0 && text.size() > static_cast<size_t>(spec.precision))
            text.resize(static_cast<size_t>(spec.precision));
    }
    if (text.size() < static_cast<size_t>(spec.width)) {
        const std::string pad(static_cast<size_t>(spec.width) - text.size(), ' ');
        text = spec.leftAlign ? text + pad : pad + text;
    }
    return text;
}

bool IsKind(char c) { return c == 's' || c == 'd' || c == 'u' || c == 'x' || c == 'X'; }

}  // namespace

std::string FormatMessageText(std::string_view format, const TZKFormatArgs& args) {
    std::string out;
    size_t nextArg = 0;
    size_t pos = 0;
    while (pos < format.size()) {
        const char c = format[pos];
        if (c != '%') {
            out += c;
            ++pos;
            continue;
        }
        if (pos + 1 < format.size() && format[pos + 1] == '%') {
            out += '%';
            pos += 2;
            continue;
        }
        const size_t start = pos++;
        Spec spec;
        if (pos < format.size() && format[pos] == '-') {
            spec.leftAlign = true;
            ++pos;
        }
        spec.width = ReadCount(format, pos);
        if (pos < format.size() && format[pos] == '.') {
            ++pos;
            spec.precision = ReadCount(format, pos);
        }
        if (pos >= format.size() || !IsKind(format[pos]) || nextArg >= args.size()) {
            out += format.substr(start, pos < format.size() ? pos + 1 - start : pos - start);
            if (pos < format.size()) ++pos;
            continue;
        }
        spec.kind = format[pos++];
        out += Render(spec, args[nextArg++]);
    }
    return out;
}

}  // namespace lunaro::archive

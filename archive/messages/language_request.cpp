#include "archive/messages/language_request.h"

#include <cctype>
#include <charconv>

namespace lunaro::archive {

namespace {

constexpr int kBuiltinLcid = 1033;

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string_view Trimmed(std::string_view value) {
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front()))) value.remove_prefix(1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.remove_suffix(1);
    return value;
}

// A language identifier written in decimal or, after '$', in hexadecimal;
// 0 when the value is not one.
int NumericLcid(std::string_view value) {
    int base = 10;
    if (!value.empty() && value.front() == '$') {
        base = 16;
        value.remove_prefix(1);
    }
    if (value.empty() || !std::isxdigit(static_cast<unsigned char>(value.front()))) return 0;
    long number = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number, base);
    if (ec != std::errc() || end != value.data() + value.size() || number < 1 || number > 0xFFFF) return 0;
    return static_cast<int>(number);
}

LanguageRequest ById(int lcid) {
    LanguageRequest request;
    request.kind = lcid == kBuiltinLcid ? LanguageRequest::Builtin : LanguageRequest::ById;
    request.lcid = lcid;
    return request;
}

}  // namespace

LanguageRequest ParseLanguageRequest(std::string_view value, int userLcid) {
    const std::string_view trimmed = Trimmed(value);
    std::string name;
    if (!trimmed.empty() && !std::isdigit(static_cast<unsigned char>(trimmed.front()))) {
        for (char c : trimmed) {
            if (!IsNameChar(c)) break;
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (name.size() >= 2) {
        LanguageRequest request;
        request.kind = name == "US" ? LanguageRequest::Builtin : LanguageRequest::ByName;
        request.name = std::move(name);
        return request;
    }
    if (trimmed == "*") return userLcid > 0 ? ById(userLcid) : LanguageRequest{};
    const int lcid = NumericLcid(trimmed);
    return lcid > 0 ? ById(lcid) : LanguageRequest{};
}

}  // namespace lunaro::archive

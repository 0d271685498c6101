#pragma once
// How a value written to the component's Language is understood: a code
// name ("BR", "fr: ..."), a language identifier ("1046", "$416"), a primary
// language number below 1024 ("22"), or "*" for the user's own language.
#include <cstdint>
#include <string>
#include <string_view>

namespace lunaro::archive {

struct LanguageRequest {
    enum Kind : uint8_t { None, Builtin, ByName, ById } kind = None;
    std::string name;  // upper case, for ByName
    int lcid = 0;      // for ById
};

LanguageRequest ParseLanguageRequest(std::string_view value, int userLcid);

}  // namespace lunaro::archive

#include "net/http/http_cookies.h"

#include "net/text_utils.h"
#include "platform/text_case.h"

namespace lunaro::net {

void CollectCookies(const platform::TStringList& headers, platform::TStringList& cookies) {
    static const std::string kSetCookie = "SET-COOKIE:";
    for (int i = 0; i < headers.Count(); ++i) {
        const std::string& line = headers[i];
        if (!platform::SameTextAscii(std::string_view(line).substr(0, kSetCookie.size()), kSetCookie))
            continue;
        const std::string pair = Trim(TextBefore(TextAfter(line, ":"), ";"));
        cookies.SetValue(Trim(TextBefore(pair, "=")), Trim(TextAfter(pair, "=")));
    }
}

std::string CookieHeaderValue(const platform::TStringList& cookies) {
    std::string value;
    for (int i = 0; i < cookies.Count(); ++i) {
        if (i > 0) value += "; ";
        value += cookies[i];
    }
    return value;
}

}  // namespace lunaro::net

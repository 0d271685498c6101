#include "net/http/http_cookies.h"

#include "net/text_utils.h"
#include "platform/text_case.h"

namespace lunaro::net {

namespace {

bool IsAddressLiteral(const std::string& host) { return IsIPv4Text(host) || IsIPv6Text(host); }

// host (upper case) is domain or lies below it.
bool InDomain(const std::string& host, const std::string& domain) {
    if (host == domain) return true;
    return host.size() > domain.size() && host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
           host[host.size() - domain.size() - 1] == '.';
}

// The scope the attributes after a cookie's pair give it, as set by host.
TCookieScope ScopeOf(std::string attributes, const std::string& host) {
    const std::string setter = platform::AsciiUpperCase(host);
    TCookieScope scope{setter, true};
    if (IsAddressLiteral(host)) return scope;
    while (!attributes.empty()) {
        const std::string attribute = FetchField(attributes, ";");
        if (!platform::SameTextAscii(Trim(TextBefore(attribute, "=")), "DOMAIN")) continue;
        std::string domain = platform::AsciiUpperCase(Trim(TextAfter(attribute, "=")));
        if (!domain.empty() && domain.front() == '.') domain.erase(0, 1);
        if (attribute.find('=') == std::string::npos || domain.empty() || !InDomain(setter, domain)) continue;
        scope = {domain, false};
    }
    return scope;
}

}  // namespace

void CollectCookies(const platform::TStringList& headers, platform::TStringList& cookies, const std::string& host,
                    TCookieScopes* scopes) {
    static const std::string kSetCookie = "SET-COOKIE:";
    for (int i = 0; i < headers.Count(); ++i) {
        const std::string& line = headers[i];
        if (!platform::SameTextAscii(std::string_view(line).substr(0, kSetCookie.size()), kSetCookie))
            continue;
        std::string rest = TextAfter(line, ":");
        const std::string pair = FetchField(rest, ";");
        const std::string name = Trim(TextBefore(pair, "="));
        const std::string value = Trim(TextAfter(pair, "="));
        cookies.SetValue(name, value);
        if (scopes == nullptr) continue;
        if (value.empty()) scopes->erase(platform::AsciiUpperCase(name));
        else (*scopes)[platform::AsciiUpperCase(name)] = ScopeOf(rest, host);
    }
}

std::string CookieHeaderValue(const platform::TStringList& cookies, const TCookieScopes& scopes,
                              const std::string& host) {
    const std::string target = platform::AsciiUpperCase(host);
    std::string value;
    for (int i = 0; i < cookies.Count(); ++i) {
        const auto scope = scopes.find(platform::AsciiUpperCase(cookies.Names(i)));
        if (scope != scopes.end() &&
            (scope->second.HostOnly ? target != scope->second.Domain : !InDomain(target, scope->second.Domain)))
            continue;
        if (!value.empty()) value += "; ";
        value += cookies[i];
    }
    return value;
}

}  // namespace lunaro::net

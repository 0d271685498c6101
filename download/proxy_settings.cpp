#include "download/proxy_settings.h"

#include "platform/printable_text.h"

namespace lunaro::download {

void UseProxy(TNexoProxy& settings, const net::TProxyChoice& choice) {
    settings.ProxyHost = choice.Use ? choice.Host : "";
    settings.ProxyPort = choice.Use ? choice.Port : "";
    settings.ProxyUser = choice.Use ? choice.User : "";
    settings.ProxyPass = choice.Use ? choice.Pass : "";
}

std::string UseEnvironmentProxy(TNexoProxy& settings, const std::string& url, const net::TEnvironmentLookup& lookup) {
    const net::TProxyChoice choice = lookup ? net::ProxyFromEnvironment(url, lookup) : net::ProxyFromEnvironment(url);
    if (!choice.Error.empty()) return choice.Source + " " + platform::PrintableText(choice.Error);
    UseProxy(settings, choice);
    return "";
}

}  // namespace lunaro::download

#include "net/proxy_environment.h"

#include <algorithm>

#include "net/text_utils.h"
#include "platform/environment.h"
#include "platform/text_case.h"

namespace lunaro::net {
namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

bool ValidPort(const std::string& port) {
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return false;
    const int value = std::stoi(port);
    return value >= 1 && value <= 65535;
}

bool HasControlBytes(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

// An entry's host and port: "[::1]:8080", "::1", "host:80", "host".
void SplitEntry(const std::string& entry, std::string& host, std::string& port) {
    host = entry;
    port.clear();
    if (!entry.empty() && entry.front() == '[') {
        const size_t close = entry.find(']');
        host = entry.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && close + 1 < entry.size() && entry[close + 1] == ':')
            port = entry.substr(close + 2);
        return;
    }
    const size_t colon = entry.find(':');
    if (colon != std::string::npos && entry.find(':', colon + 1) == std::string::npos) {
        host = entry.substr(0, colon);
        port = entry.substr(colon + 1);
    }
}

}  // namespace

bool NoProxyMatches(const std::string& list, const std::string& host, const std::string& port) {
    const std::string wanted = Lower(host);
    // "0.0.1" is no domain above "127.0.0.1": addresses match only themselves.
    const bool address = IsIPv4Text(wanted) || wanted.find(':') != std::string::npos;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string entry = Lower(Trimmed(list.substr(start, comma - start)));
        start = comma + 1;
        if (entry.empty()) continue;
        if (entry == "*") return true;
        std::string entryHost, entryPort;
        SplitEntry(entry, entryHost, entryPort);
        if (!entryPort.empty() && entryPort != port) continue;
        while (!entryHost.empty() && entryHost.front() == '.') entryHost.erase(0, 1);
        if (entryHost.empty()) continue;
        if (wanted == entryHost) return true;
        if (!address && wanted.size() > entryHost.size() && wanted.compare(wanted.size() - entryHost.size(), std::string::npos,
                                                               entryHost) == 0 &&
            wanted[wanted.size() - entryHost.size() - 1] == '.')
            return true;
    }
    return false;
}

TProxyChoice ParseProxyUrl(const std::string& text) {
    TProxyChoice choice;
    const std::string value = Trimmed(text);
    if (HasControlBytes(value)) {
        choice.Error = "holds control characters";
        return choice;
    }
    const size_t scheme = value.find("://");
    if (scheme != std::string::npos && Lower(value.substr(0, scheme)) != "http") {
        choice.Error = "names a proxy of another kind (" + value.substr(0, scheme) + "); only http:// proxies are used";
        return choice;
    }
    const std::string withScheme = scheme == std::string::npos ? "http://" + value : value;
    std::string afterScheme = withScheme.substr(withScheme.find("://") + 3);
    const size_t end = afterScheme.find_first_of("/?#");
    const std::string authority = afterScheme.substr(0, end);
    if (authority.empty() || authority.back() == '@') {
        choice.Error = "names no proxy host";
        return choice;
    }
    // The port is checked before SplitUrl, which takes any text after ":".
    std::string host, port;
    SplitEntry(authority.substr(authority.rfind('@') == std::string::npos ? 0 : authority.rfind('@') + 1), host,
               port);
    if (host.empty()) {
        choice.Error = "names no proxy host";
        return choice;
    }
    if (!port.empty() && !ValidPort(port)) {
        choice.Error = "has an unusable port \"" + port + "\"";
        return choice;
    }
    const TUrlParts parts = SplitUrl("http://" + authority + "/");
    choice.Use = true;
    choice.Host = parts.Host;
    choice.Port = port.empty() ? "1080" : port;
    choice.User = PercentDecode(parts.User);
    choice.Pass = PercentDecode(parts.Pass);
    return choice;
}

TProxyChoice ProxyFromEnvironment(const std::string& url, const TEnvironmentLookup& lookup) {
    const TUrlParts target = SplitUrl(url);
    const std::string prot = Lower(target.Prot);
    if (prot != "http" && prot != "https") return {};
    const std::string lowerName = prot + "_proxy";
    const std::string upperName = platform::AsciiUpperCase(lowerName);
    std::string source = lowerName;
    std::string value = lookup(lowerName.c_str());
    if (value.empty()) {
        source = upperName;
        value = lookup(upperName.c_str());
    }
    if (Trimmed(value).empty()) return {};
    std::string noProxy = lookup("no_proxy");
    if (noProxy.empty()) noProxy = lookup("NO_PROXY");
    if (NoProxyMatches(noProxy, target.Host, target.Port)) return {};
    TProxyChoice choice = ParseProxyUrl(value);
    choice.Source = source;
    return choice;
}

TProxyChoice ProxyFromEnvironment(const std::string& url) {
    return ProxyFromEnvironment(url, [](const char* name) { return platform::EnvironmentValue(name); });
}

}  // namespace lunaro::net

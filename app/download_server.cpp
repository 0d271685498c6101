#include "app/download_server.h"

#include "platform/environment.h"
#include "platform/text_case.h"

namespace lunaro::app {

std::string WithTrailingSlash(const std::string& address) {
    if (!address.empty() && address.back() == '/') return address;
    return address + "/";
}

std::string DownloadServerBaseUrl() {
    const std::string configured = platform::EnvironmentValue("LUNARO_BASE_URL");
    return WithTrailingSlash(configured.empty() ? kDefaultDownloadBaseUrl : configured);
}

std::string PackageUrl(const std::string& baseUrl, const std::string& name) {
    if (platform::AsciiUpperCase(name).find("HTTP") != std::string::npos) return name;
    return baseUrl + name;
}

}  // namespace lunaro::app

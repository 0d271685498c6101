#pragma once
// The address the packages are published under.
#include <string>

namespace lunaro::app {

// Used when LUNARO_BASE_URL is not set.
inline constexpr const char* kDefaultDownloadBaseUrl = "http://downloads.lunarosoft.example/instalador/";

// $LUNARO_BASE_URL when set and not empty, otherwise the built-in address;
// always ending in "/".
std::string DownloadServerBaseUrl();

// The address ending in "/" (added when missing).
std::string WithTrailingSlash(const std::string& address);

// A name holding "http" in any letter case is taken as a complete address;
// any other name is appended to the base address.
std::string PackageUrl(const std::string& baseUrl, const std::string& name);

}  // namespace lunaro::app

#pragma once
// Puts a chosen proxy into the HTTP settings of the download component, so
// that the command line and the installer read people's proxy settings the
// same way: a proxy the user names wins; otherwise http_proxy, https_proxy
// and no_proxy decide for each URL.
#include <string>

#include "download/nexo_settings.h"
#include "net/proxy_environment.h"

namespace lunaro::download {

// Host, port and credentials of choice, or none when it does not apply.
void UseProxy(TNexoProxy& settings, const net::TProxyChoice& choice);

// The environment's proxy for url put into settings. Returns "" or, when the
// variable that applies holds no usable proxy, why (settings unchanged).
// Without a lookup the process environment is read.
std::string UseEnvironmentProxy(TNexoProxy& settings, const std::string& url,
                                const net::TEnvironmentLookup& lookup = {});

}  // namespace lunaro::download

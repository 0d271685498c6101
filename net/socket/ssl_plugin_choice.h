#pragma once
// Which SSL plug-in the protocol clients' sockets get. TLS lives in a module
// of its own, loaded on first use, so that a program runs (and fails "https"
// with 10091 as before) on a machine without the TLS library.
//
// The module is looked for, in this order: the path in LUNARO_TLS_PLUGIN
// ("none" turns TLS off); "liblunaro_tls.so" beside the running program or
// in the system's library path; the build tree that made this program.
#include <string>

#include "net/socket/ssl_plugin.h"

namespace lunaro::net {

inline constexpr const char* kTLSModuleName = "liblunaro_tls.so";
// The module's one export: extern "C" TSSLClass lunaro_tls_ssl_class();
inline constexpr const char* kTLSModuleEntry = "lunaro_tls_ssl_class";

// Settings every new plug-in instance starts from, for programs whose users
// choose them once (a trust file, turning verification off).
struct TSSLDefaults {
    bool VerifyCert = true;
    std::string CertCAFile;  // empty: the system's trust store
};
void SetSSLDefaults(const TSSLDefaults& defaults);

// The TLS module's class with the defaults applied, or TSSLNone when the
// module cannot be loaded. Loads at most once per process.
TSSLClass DefaultSSLClass();
// Why the module is not in use ("" when it is).
std::string TLSModuleProblem();

}  // namespace lunaro::net

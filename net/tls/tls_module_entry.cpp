// The TLS module's entry point, looked up by name when the module is loaded.
#include "net/socket/ssl_plugin_choice.h"
#include "net/tls/tls_openssl.h"

extern "C" __attribute__((visibility("default"))) lunaro::net::TSSLClass lunaro_tls_ssl_class() {
    return &lunaro::net::SSLClassOf<lunaro::net::TSSLOpenSSL>;
}

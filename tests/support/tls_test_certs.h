#pragma once
// The certificates tests/net/tls/make-test-certs makes (a test CA in
// ca.pem; good, expired, wronghost and unknown pairs NAME.pem/NAME.key), and
// nginx serving a folder over TLS with one of them.
#include <cstdlib>
#include <string>

#include "tests/support/nginx_server.h"

namespace lunaro::testkit {

// False when the openssl command could not make them.
inline bool MakeTestCertificates(const std::string& folder) {
    const std::string make = std::string(LUNARO_SOURCE_DIR) + "/tests/net/tls/make-test-certs " + folder;
    return std::system((make + " >/dev/null 2>&1").c_str()) == 0;
}

inline NginxOptions TlsNginxOptions(const std::string& root, const std::string& certFolder, const std::string& name) {
    NginxOptions options;
    options.root = root;
    options.listenParameters = " ssl";
    options.extraServerConfig = "ssl_certificate " + certFolder + "/" + name + ".pem;\nssl_certificate_key " +
                                certFolder + "/" + name + ".key;\n";
    return options;
}

}  // namespace lunaro::testkit

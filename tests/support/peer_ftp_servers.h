#pragma once
// Real FTP servers on a free loopback port, each serving a folder the test
// builds: python3-pyftpdlib (a user with a password, MLSD) and vsftpd
// (anonymous with uploads; its root must not be writable, so uploads go to
// the writable folder "pub" it makes there).
#include <string>

#include "tests/support/daemon_peer.h"

namespace lunaro::testkit {

struct FtpServerOptions {
    std::string root;               // the folder served
    std::string host = "127.0.0.1";  // or "::1"
};

// With a certificate and its key, logins and data must be protected, after
// AUTH TLS or, with implicitTls, from the first byte.
struct FtpTlsOptions {
    std::string certFile;
    std::string keyFile;
    bool implicitTls = false;
};

class PyftpdlibServer : public DaemonPeer {
public:
    explicit PyftpdlibServer(const FtpServerOptions& options);
    static constexpr const char* kUser = "tester";
    static constexpr const char* kPassword = "secret";
};

class VsftpdServer : public DaemonPeer {
public:
    // Makes options.root read-only for others and "pub" inside it writable.
    explicit VsftpdServer(const FtpServerOptions& options, const FtpTlsOptions& tls = {});
};

}  // namespace lunaro::testkit

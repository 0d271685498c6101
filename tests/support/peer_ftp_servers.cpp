#include "tests/support/peer_ftp_servers.h"

#include <sys/stat.h>

#include <sstream>

namespace lunaro::testkit {

PyftpdlibServer::PyftpdlibServer(const FtpServerOptions& options) {
    std::ostringstream script;
    script << "import logging, sys\n"
              "from pyftpdlib.authorizers import DummyAuthorizer\n"
              "from pyftpdlib.handlers import FTPHandler\n"
              "from pyftpdlib.servers import FTPServer\n"
              "logging.basicConfig(level=logging.WARNING)\n"
              "authorizer = DummyAuthorizer()\n"
              "authorizer.add_user(sys.argv[3], sys.argv[4], sys.argv[5], perm='elradfmwMT')\n"
              "FTPHandler.authorizer = authorizer\n"
              "FTPServer((sys.argv[1], int(sys.argv[2])), FTPHandler).serve_forever()\n";
    WriteFile(dir_.File("serve.py"), script.str());
    // The system interpreter: the package installs the module for it.
    const std::string python = FindProgram("python3").empty() ? "" : "/usr/bin/python3";
    process_.Start(python, {dir_.File("serve.py"), options.host, std::to_string(port_), kUser, kPassword, options.root},
                   options.host, port_, dir_.File("pyftpdlib.log"));
}

VsftpdServer::VsftpdServer(const FtpServerOptions& options, const FtpTlsOptions& tls) {
    ::mkdir(dir_.File("empty").c_str(), 0755);
    ::chmod(options.root.c_str(), 0555);
    const std::string pub = options.root + "/pub";
    ::mkdir(pub.c_str(), 0777);
    ::chmod(pub.c_str(), 0777);
    const bool ipv6 = options.host.find(':') != std::string::npos;
    std::ostringstream conf;
    conf << "listen=" << (ipv6 ? "NO" : "YES") << "\nlisten_ipv6=" << (ipv6 ? "YES" : "NO") << "\n"
         << (ipv6 ? "listen_address6=" : "listen_address=") << options.host << "\nlisten_port=" << port_
         << "\nbackground=NO\nanonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\nanon_root="
         << options.root
         << "\nwrite_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
            "anon_umask=022\nanon_world_readable_only=NO\nconnect_from_port_20=NO\nseccomp_sandbox=NO\n"
            "xferlog_enable=NO\nsecure_chroot_dir="
         << dir_.File("empty") << "\nvsftpd_log_file=" << dir_.File("vsftpd.log") << "\n";
    if (!tls.certFile.empty()) {
        // vsftpd's default: a data connection must resume the control
        // connection's TLS session.
        conf << "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\nforce_anon_data_ssl=YES\n"
                "require_ssl_reuse=YES\nrsa_cert_file="
             << tls.certFile << "\nrsa_private_key_file=" << tls.keyFile
             << "\nimplicit_ssl=" << (tls.implicitTls ? "YES" : "NO") << "\n";
    }
    WriteFile(dir_.File("vsftpd.conf"), conf.str());
    process_.Start(FindProgram("vsftpd"), {dir_.File("vsftpd.conf")}, options.host, port_, dir_.File("vsftpd.out"));
}

}  // namespace lunaro::testkit

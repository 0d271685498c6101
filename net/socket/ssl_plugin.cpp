#include "net/socket/ssl_plugin.h"

namespace lunaro::net {

void TCustomSSL::Assign(const TCustomSSL& Value) {
    Username = Value.Username;
    Password = Value.Password;
    VerifyCert = Value.VerifyCert;
    SSLType = Value.SSLType;
    KeyPassword = Value.KeyPassword;
    Ciphers = Value.Ciphers;
    CertificateFile = Value.CertificateFile;
    PrivateKeyFile = Value.PrivateKeyFile;
    Certificate = Value.Certificate;
    PrivateKey = Value.PrivateKey;
    PFX = Value.PFX;
    PFXfile = Value.PFXfile;
    CertCA = Value.CertCA;
    SetCertCAFile(Value.CertCAFile());
    TrustCertificate = Value.TrustCertificate;
    TrustCertificateFile = Value.TrustCertificateFile;
    CertComplianceLevel = Value.CertComplianceLevel;
    SNIHost = Value.SNIHost;
}

void TSSLNone::NotCompiled() {
    LastError = -1;
    LastErrorDesc = "SSL/TLS support is not compiled!";
}

bool TSSLNone::Connect() {
    NotCompiled();
    return false;
}

bool TSSLNone::Accept() {
    NotCompiled();
    return false;
}

bool TSSLNone::Shutdown() {
    NotCompiled();
    return false;
}

bool TSSLNone::BiShutdown() {
    NotCompiled();
    return false;
}

int TSSLNone::SendBuffer(const void* /*Buffer*/, int /*Len*/) {
    NotCompiled();
    return -1;
}

int TSSLNone::RecvBuffer(void* /*Buffer*/, int /*Len*/) {
    NotCompiled();
    return -1;
}

int TSSLNone::WaitingData() {
    NotCompiled();
    return 0;
}

}  // namespace lunaro::net

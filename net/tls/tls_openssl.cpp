#include "net/tls/tls_openssl.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "net/socket/tcp_socket.h"

namespace lunaro::net {
namespace {

// The plug-in's own error numbers (the socket reports 10091 for all of them
// and shows this text).
constexpr int32_t kSetupFailed = 1;
constexpr int32_t kHandshakeFailed = 2;
constexpr int32_t kPeerRejected = 3;
constexpr int32_t kTransferFailed = 4;
constexpr int32_t kTimedOut = 5;

constexpr int kMaxRecordPlaintext = 16384;
constexpr size_t kReadAheadBytes = 256 * 1024;

std::string LibraryErrors() {
    std::string text;
    while (unsigned long code = ERR_get_error()) {
        char line[256];
        ERR_error_string_n(code, line, sizeof line);
        // "error:0A000086:SSL routines::certificate verify failed": the
        // reason after the last colon is what a person can use.
        const char* reason = std::strrchr(line, ':');
        if (!text.empty()) text += "; ";
        text += reason != nullptr ? reason + 1 : line;
    }
    return text;
}

std::string NameText(X509_NAME* name) {
    if (name == nullptr) return {};
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
    X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<size_t>(size));
}

int PasswordCallback(char* buffer, int size, int /*rwflag*/, void* userdata) {
    const std::string& password = *static_cast<const std::string*>(userdata);
    const int length = static_cast<int>(std::min<size_t>(password.size(), static_cast<size_t>(size)));
    std::memcpy(buffer, password.data(), static_cast<size_t>(length));
    return length;
}

bool IsAddress(const std::string& host) {
    unsigned char buffer[16];
    return host.find(':') != std::string::npos || (!host.empty() && inet_pton(AF_INET, host.c_str(), buffer) == 1);
}

void SetVersionRange(SSL_CTX* ctx, TSSLType type) {
    int version = 0;
    switch (type) {
        case TSSLType::LT_TLSv1: version = TLS1_VERSION; break;
        case TSSLType::LT_TLSv1_1: version = TLS1_1_VERSION; break;
        case TSSLType::LT_TLSv1_2: version = TLS1_2_VERSION; break;
        case TSSLType::LT_TLSv1_3: version = TLS1_3_VERSION; break;
        default: return;  // every version the library allows
    }
    SSL_CTX_set_min_proto_version(ctx, version);
    SSL_CTX_set_max_proto_version(ctx, version);
}

}  // namespace

TSSLOpenSSL::TSSLOpenSSL(TTCPBlockSocket* Value) : TCustomSSL(Value) {
    // Never accept a peer silently: verification is on unless the owner
    // turns it off.
    VerifyCert = true;
}

TSSLOpenSSL::~TSSLOpenSSL() {
    Release();
    if (resume_ != nullptr) SSL_SESSION_free(resume_);
}

void TSSLOpenSSL::Assign(const TCustomSSL& Value) {
    TCustomSSL::Assign(Value);
    const auto* other = dynamic_cast<const TSSLOpenSSL*>(&Value);
    if (other == nullptr || other->ssl_ == nullptr) return;
    if (resume_ != nullptr) SSL_SESSION_free(resume_);
    resume_ = SSL_get1_session(other->ssl_);
}

std::string TSSLOpenSSL::LibVersion() const { return OpenSSL_version(OPENSSL_VERSION); }

bool TSSLOpenSSL::Fail(const std::string& text) {
    if (LastError == 0) LastError = kTransferFailed;
    LastErrorDesc = text;
    ERR_clear_error();
    return false;
}

void TSSLOpenSSL::Release() {
    if (ssl_ != nullptr) SSL_free(ssl_);
    if (ctx_ != nullptr) SSL_CTX_free(ctx_);
    ssl_ = nullptr;
    ctx_ = nullptr;
    if (savedFlags_ != -1) fcntl(Socket()->Socket(), F_SETFL, savedFlags_);
    savedFlags_ = -1;
    FSSLEnabled = false;
}

bool TSSLOpenSSL::Prepare(TSide side) {
    ctx_ = SSL_CTX_new(side == TSide::Client ? TLS_client_method() : TLS_server_method());
    if (ctx_ == nullptr) return Fail("cannot set up TLS: " + LibraryErrors());
    SetVersionRange(ctx_, SSLType);
    if (!Ciphers.empty() && SSL_CTX_set_cipher_list(ctx_, Ciphers.c_str()) != 1)
        return Fail("unusable cipher list \"" + Ciphers + "\": " + LibraryErrors());
    SSL_CTX_set_default_passwd_cb(ctx_, &PasswordCallback);
    SSL_CTX_set_default_passwd_cb_userdata(ctx_, &KeyPassword);
    if (!CertificateFile.empty() &&
        SSL_CTX_use_certificate_chain_file(ctx_, CertificateFile.c_str()) != 1)
        return Fail("cannot use certificate " + CertificateFile + ": " + LibraryErrors());
    if (!PrivateKeyFile.empty() &&
        SSL_CTX_use_PrivateKey_file(ctx_, PrivateKeyFile.c_str(), SSL_FILETYPE_PEM) != 1)
        return Fail("cannot use private key " + PrivateKeyFile + ": " + LibraryErrors());
    if (side == TSide::Client) {
        const bool ownTrust = !CertCAFile().empty() || !CertCA.empty();
        if (!CertCAFile().empty() && SSL_CTX_load_verify_locations(ctx_, CertCAFile().c_str(), nullptr) != 1)
            return Fail("cannot read CA file " + CertCAFile() + ": " + LibraryErrors());
        if (!CertCA.empty()) {
            std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(CertCA.data(), static_cast<int>(CertCA.size())),
                                                          &BIO_free);
            X509_STORE* store = SSL_CTX_get_cert_store(ctx_);
            int added = 0;
            while (X509* cert = PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)) {
                added += X509_STORE_add_cert(store, cert) == 1;
                X509_free(cert);
            }
            ERR_clear_error();
            if (added == 0) return Fail("CertCA holds no usable certificate");
        }
        if (!ownTrust && SSL_CTX_set_default_verify_paths(ctx_) != 1)
            return Fail("cannot read the system's trust store: " + LibraryErrors());
    }
    ssl_ = SSL_new(ctx_);
    if (ssl_ == nullptr || SSL_set_fd(ssl_, Socket()->Socket()) != 1)
        return Fail("cannot set up TLS: " + LibraryErrors());
    if (side == TSide::Client && resume_ != nullptr) SSL_set_session(ssl_, resume_);
    if (side == TSide::Client && !SNIHost.empty()) {
        if (!IsAddress(SNIHost)) SSL_set_tlsext_host_name(ssl_, SNIHost.c_str());
        if (VerifyCert) {
            X509_VERIFY_PARAM* param = SSL_get0_param(ssl_);
            X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
            const int named = IsAddress(SNIHost) ? X509_VERIFY_PARAM_set1_ip_asc(param, SNIHost.c_str())
                                                 : X509_VERIFY_PARAM_set1_host(param, SNIHost.c_str(), 0);
            if (named != 1) return Fail("cannot check the host name " + SNIHost);
        }
    }
    // The chain is judged after the handshake, so that the failure can say
    // why; nothing is sent over a connection before that judgement.
    SSL_set_verify(ssl_, SSL_VERIFY_NONE, nullptr);
    SSL_set_mode(ssl_, SSL_MODE_AUTO_RETRY);
    // Reading ahead takes several records from the socket with one call
    // instead of a header and a body per record, two calls each 16 KiB;
    // WaitingData reports what it holds, so no wait misses it.
    SSL_set_read_ahead(ssl_, 1);
    SSL_set_default_read_buffer_len(ssl_, kReadAheadBytes);
    return true;
}

bool TSSLOpenSSL::AwaitRetry(int result, const char* doing) {
    const int error = SSL_get_error(ssl_, result);
    short events = 0;
    if (error == SSL_ERROR_WANT_READ) events = POLLIN;
    else if (error == SSL_ERROR_WANT_WRITE) events = POLLOUT;
    if (events == 0) {
        std::string reason = LibraryErrors();
        if (reason.empty()) reason = error == SSL_ERROR_SYSCALL ? std::strerror(errno) : "connection closed";
        if (error == SSL_ERROR_SYSCALL && errno == 0) reason = "connection closed in the middle of a record";
        return Fail(std::string("TLS ") + doing + " failed: " + reason);
    }
    pollfd fd{Socket()->Socket(), events, 0};
    const int ready = ::poll(&fd, 1, Timeout < 0 ? -1 : Timeout);
    if (ready <= 0) {
        LastError = kTimedOut;
        return Fail(std::string("TLS ") + doing + " timed out");
    }
    return true;
}

bool TSSLOpenSSL::Handshake(TSide side) {
    for (;;) {
        ERR_clear_error();
        const int result = side == TSide::Client ? SSL_connect(ssl_) : SSL_accept(ssl_);
        if (result == 1) return true;
        if (!AwaitRetry(result, "handshake")) {
            if (LastError != kTimedOut) LastError = kHandshakeFailed;
            return false;
        }
    }
}

bool TSSLOpenSSL::CheckPeer() {
    if (OnVerifyCert) {
        if (OnVerifyCert(this)) return true;
        LastError = kPeerRejected;
        return Fail("the peer's certificate was rejected");
    }
    if (!VerifyCert) return true;
    X509* peer = SSL_get1_peer_certificate(ssl_);
    if (peer == nullptr) {
        LastError = kPeerRejected;
        return Fail("the server sent no certificate");
    }
    X509_free(peer);
    const long result = SSL_get_verify_result(ssl_);
    if (result == X509_V_OK) return true;
    LastError = kPeerRejected;
    return Fail(std::string("certificate verification failed: ") + X509_verify_cert_error_string(result));
}

bool TSSLOpenSSL::Start(TSide side) {
    LastError = 0;
    LastErrorDesc.clear();
    Release();
    const int fd = Socket()->Socket();
    if (fd < 0) return Fail("no connection to run TLS over");
    if (!Prepare(side)) {
        LastError = kSetupFailed;
        Release();
        return false;
    }
    savedFlags_ = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, savedFlags_ | O_NONBLOCK);
    if (!Handshake(side) || (side == TSide::Client && !CheckPeer())) {
        const int32_t error = LastError;
        const std::string text = LastErrorDesc;
        Release();
        LastError = error;
        LastErrorDesc = text;
        return false;
    }
    FSSLEnabled = true;
    return true;
}

bool TSSLOpenSSL::Connect() { return Start(TSide::Client); }
bool TSSLOpenSSL::Accept() { return Start(TSide::Server); }

bool TSSLOpenSSL::Shutdown() {
    LastError = 0;
    LastErrorDesc.clear();
    // One close_notify, without waiting for the peer's: the connection is
    // being closed anyway.
    if (ssl_ != nullptr && FSSLEnabled) SSL_shutdown(ssl_);
    ERR_clear_error();
    Release();
    return true;
}

bool TSSLOpenSSL::BiShutdown() {
    LastError = 0;
    LastErrorDesc.clear();
    if (ssl_ == nullptr || !FSSLEnabled) return true;
    for (int rounds = 0; rounds < 2; ++rounds) {
        ERR_clear_error();
        const int result = SSL_shutdown(ssl_);
        if (result == 1) break;
        if (result == 0) continue;  // ours went out; now wait for the peer's
        if (!AwaitRetry(result, "shutdown")) break;
    }
    ERR_clear_error();
    Release();
    return LastError == 0;
}

bool TSSLOpenSSL::ReadyForData() {
    LastError = 0;
    LastErrorDesc.clear();
    if (ssl_ != nullptr) return true;
    Fail("TLS is not running");
    return false;
}

int TSSLOpenSSL::SendBuffer(const void* Buffer, int Len) {
    if (!ReadyForData()) return -1;
    for (;;) {
        ERR_clear_error();
        size_t written = 0;
        const int result = SSL_write_ex(ssl_, Buffer, static_cast<size_t>(Len), &written);
        if (result == 1) return static_cast<int>(written);
        if (!AwaitRetry(result, "write")) return -1;
    }
}

int TSSLOpenSSL::RecvBuffer(void* Buffer, int Len) {
    if (!ReadyForData()) return -1;
    for (;;) {
        ERR_clear_error();
        size_t read = 0;
        const int result = SSL_read_ex(ssl_, Buffer, static_cast<size_t>(Len), &read);
        if (result == 1) return static_cast<int>(read);
        // The peer's close_notify: the orderly end of the data.
        if (SSL_get_error(ssl_, result) == SSL_ERROR_ZERO_RETURN) return 0;
        if (!AwaitRetry(result, "read")) return -1;
    }
}

int TSSLOpenSSL::WaitingData() {
    if (ssl_ == nullptr) return 0;
    const int decrypted = SSL_pending(ssl_);
    if (decrypted > 0) return decrypted;
    // Records read ahead but not yet decrypted: at most one record's worth
    // comes out of the next read.
    return SSL_has_pending(ssl_) == 1 ? kMaxRecordPlaintext : 0;
}

std::string TSSLOpenSSL::GetSSLVersion() { return ssl_ != nullptr ? SSL_get_version(ssl_) : std::string(); }

namespace {

// The peer certificate for the getters, released when done.
struct TPeer {
    explicit TPeer(SSL* ssl) : cert(ssl != nullptr ? SSL_get1_peer_certificate(ssl) : nullptr) {}
    ~TPeer() { X509_free(cert); }
    TPeer(const TPeer&) = delete;
    TPeer& operator=(const TPeer&) = delete;
    X509* cert;
};

}  // namespace

std::string TSSLOpenSSL::GetPeerSubject() {
    TPeer peer(ssl_);
    return peer.cert != nullptr ? NameText(X509_get_subject_name(peer.cert)) : std::string();
}

std::string TSSLOpenSSL::GetPeerIssuer() {
    TPeer peer(ssl_);
    return peer.cert != nullptr ? NameText(X509_get_issuer_name(peer.cert)) : std::string();
}

int TSSLOpenSSL::GetPeerSerialNo() {
    TPeer peer(ssl_);
    return peer.cert != nullptr ? static_cast<int>(ASN1_INTEGER_get(X509_get_serialNumber(peer.cert))) : 0;
}

std::string TSSLOpenSSL::GetPeerName() {
    TPeer peer(ssl_);
    if (peer.cert == nullptr) return {};
    char name[256] = {};
    X509_NAME_get_text_by_NID(X509_get_subject_name(peer.cert), NID_commonName, name, sizeof name);
    return name;
}

uint32_t TSSLOpenSSL::GetPeerNameHash() {
    TPeer peer(ssl_);
    return peer.cert != nullptr
               ? static_cast<uint32_t>(X509_NAME_hash_ex(X509_get_subject_name(peer.cert), nullptr, nullptr, nullptr))
               : 0;
}

std::string TSSLOpenSSL::GetPeerFingerprint() {
    TPeer peer(ssl_);
    if (peer.cert == nullptr) return {};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (X509_digest(peer.cert, EVP_sha1(), digest, &size) != 1) return {};
    return std::string(reinterpret_cast<const char*>(digest), size);
}

std::string TSSLOpenSSL::GetCertInfo() {
    TPeer peer(ssl_);
    if (peer.cert == nullptr) return {};
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
    X509_print(bio.get(), peer.cert);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<size_t>(size));
}

std::string TSSLOpenSSL::GetCipherName() {
    return ssl_ != nullptr ? SSL_CIPHER_get_name(SSL_get_current_cipher(ssl_)) : std::string();
}

int TSSLOpenSSL::GetCipherBits() {
    return ssl_ != nullptr ? SSL_CIPHER_get_bits(SSL_get_current_cipher(ssl_), nullptr) : 0;
}

int TSSLOpenSSL::GetCipherAlgBits() {
    int algBits = 0;
    if (ssl_ != nullptr) SSL_CIPHER_get_bits(SSL_get_current_cipher(ssl_), &algBits);
    return algBits;
}

bool TSSLOpenSSL::GetVerifyCert() { return ssl_ != nullptr && SSL_get_verify_result(ssl_) == X509_V_OK; }

}  // namespace lunaro::net

#pragma once
// The TLS plug-in: TCustomSSL over the system's TLS library. It verifies the
// peer's certificate against the system's trust store (or the CA file or
// text given) and checks that it names the host in SNIHost, unless
// VerifyCert is turned off; OnVerifyCert, when assigned, has the last word.
//
// The socket stays blocking for the rest of the system; while a handshake,
// read, write or shutdown runs, the plug-in waits for the socket itself, so
// that a peer that stalls mid-handshake or mid-record fails within Timeout.
#include <string>

#include "net/socket/ssl_plugin.h"

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;
typedef struct ssl_session_st SSL_SESSION;

namespace lunaro::net {

class TSSLOpenSSL : public TCustomSSL {
public:
    explicit TSSLOpenSSL(TTCPBlockSocket* Value);
    ~TSSLOpenSSL() override;

    bool IsAvailable() const override { return true; }
    // Besides the settings, takes the session of a plug-in of this class
    // that has one, and offers it for resumption at the next client
    // handshake: servers that protect a data connection beside a control
    // connection (FTP) may insist that both share one session.
    void Assign(const TCustomSSL& Value) override;
    std::string LibVersion() const override;
    std::string LibName() const override { return "ssl_openssl"; }

    bool Connect() override;
    bool Accept() override;
    bool Shutdown() override;
    bool BiShutdown() override;
    int SendBuffer(const void* Buffer, int Len) override;
    int RecvBuffer(void* Buffer, int Len) override;
    int WaitingData() override;

    std::string GetSSLVersion() override;
    std::string GetPeerSubject() override;
    int GetPeerSerialNo() override;
    std::string GetPeerIssuer() override;
    std::string GetPeerName() override;
    uint32_t GetPeerNameHash() override;
    std::string GetPeerFingerprint() override;
    std::string GetCertInfo() override;
    std::string GetCipherName() override;
    int GetCipherBits() override;
    int GetCipherAlgBits() override;
    bool GetVerifyCert() override;

private:
    enum class TSide { Client, Server };
    bool Start(TSide side);
    bool Prepare(TSide side);
    bool Handshake(TSide side);
    bool CheckPeer();
    // Clears the last error; false (with the error set) when no TLS session runs.
    bool ReadyForData();
    // Waits for what the library asked for after a call that returned
    // result; false (with the error set) when the call failed for good or
    // the wait ran out.
    bool AwaitRetry(int result, const char* doing);
    bool Fail(const std::string& text);
    void Release();

    SSL_CTX* ctx_ = nullptr;
    SSL* ssl_ = nullptr;
    int savedFlags_ = -1;
    SSL_SESSION* resume_ = nullptr;  // owned; offered by the next client handshake
};

}  // namespace lunaro::net

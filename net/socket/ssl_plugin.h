#pragma once
// The SSL plug-in slot of the TCP socket. A plug-in class is handed to the
// socket, which makes one instance bound to itself; when the plug-in says it
// is enabled, the socket's reads and writes go through it. The system ships
// only TSSLNone, which refuses every operation: a working TLS layer is not
// part of it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace lunaro::net {

class TTCPBlockSocket;
class TCustomSSL;

enum class TSSLType : uint8_t { LT_all, LT_SSLv2, LT_SSLv3, LT_TLSv1, LT_TLSv1_1, LT_TLSv1_2, LT_TLSv1_3, LT_SSHv2 };

// Called to decide on a peer certificate; true accepts it.
using THookVerifyCert = std::function<bool(TCustomSSL* Sender)>;

class TCustomSSL {
public:
    explicit TCustomSSL(TTCPBlockSocket* Value) : FSocket(Value) {}
    virtual ~TCustomSSL() = default;
    TCustomSSL(const TCustomSSL&) = delete;
    TCustomSSL& operator=(const TCustomSSL&) = delete;

    THookVerifyCert OnVerifyCert;
    int32_t LastError = 0;
    std::string LastErrorDesc;
    TSSLType SSLType = TSSLType::LT_all;
    std::string KeyPassword;
    std::string Ciphers;
    std::string CertificateFile;
    std::string PrivateKeyFile;
    std::string Certificate;
    std::string PrivateKey;
    std::string PFX;
    std::string PFXfile;
    std::string CertCA;
    std::string TrustCertificate;
    std::string TrustCertificateFile;
    bool VerifyCert = false;
    std::string Username;
    std::string Password;
    std::string SSHChannelType;
    std::string SSHChannelArg1;
    std::string SSHChannelArg2;
    int32_t CertComplianceLevel = -1;
    std::string SNIHost;
    // How long (ms, -1 without limit) a handshake, or a record that has begun
    // to arrive, may take: a peer that stalls inside one fails within it.
    int32_t Timeout = 30000;

    TTCPBlockSocket* Socket() const { return FSocket; }
    bool SSLEnabled() const { return FSSLEnabled; }
    const std::string& CertCAFile() const { return FCertCAFile; }
    virtual void SetCertCAFile(const std::string& Value) { FCertCAFile = Value; }

    // Whether this plug-in can do anything at all (a property of its class).
    virtual bool IsAvailable() const { return false; }
    // Copies the credentials, verification, protocol, key and certificate
    // settings, the compliance level and the server name.
    virtual void Assign(const TCustomSSL& Value);
    virtual std::string LibVersion() const = 0;
    virtual std::string LibName() const = 0;

    // Transport: false / -1 / 0 on failure, with LastError and LastErrorDesc.
    virtual bool Connect() = 0;
    virtual bool Accept() = 0;
    virtual bool Shutdown() = 0;
    virtual bool BiShutdown() = 0;
    virtual int SendBuffer(const void* Buffer, int Len) = 0;
    virtual int RecvBuffer(void* Buffer, int Len) = 0;
    virtual int WaitingData() = 0;

    // Session and certificate details: empty or 0 when unknown.
    virtual std::string GetSSLVersion() { return {}; }
    virtual std::string GetPeerSubject() { return {}; }
    virtual int GetPeerSerialNo() { return 0; }
    virtual std::string GetPeerIssuer() { return {}; }
    virtual std::string GetPeerName() { return {}; }
    virtual uint32_t GetPeerNameHash() { return 0; }
    virtual std::string GetPeerFingerprint() { return {}; }
    virtual std::string GetCertInfo() { return {}; }
    virtual std::string GetCipherName() { return {}; }
    virtual int GetCipherBits() { return 0; }
    virtual int GetCipherAlgBits() { return 0; }
    virtual bool GetVerifyCert() { return false; }

protected:
    bool FSSLEnabled = false;

private:
    TTCPBlockSocket* FSocket;
    std::string FCertCAFile;
};

// The plug-in that is always there: every operation fails with
// "SSL/TLS support is not compiled!".
class TSSLNone : public TCustomSSL {
public:
    using TCustomSSL::TCustomSSL;

    std::string LibVersion() const override { return "Without SSL support"; }
    std::string LibName() const override { return "ssl_none"; }
    bool Connect() override;
    bool Accept() override;
    bool Shutdown() override;
    bool BiShutdown() override;
    int SendBuffer(const void* Buffer, int Len) override;
    int RecvBuffer(void* Buffer, int Len) override;
    int WaitingData() override;
    bool GetVerifyCert() override { return true; }

private:
    void NotCompiled();
};

// A plug-in class: makes the plug-in instance for a socket.
using TSSLClass = std::unique_ptr<TCustomSSL> (*)(TTCPBlockSocket* Socket);

template <class Plugin>
std::unique_ptr<TCustomSSL> SSLClassOf(TTCPBlockSocket* Socket) {
    return std::make_unique<Plugin>(Socket);
}

}  // namespace lunaro::net

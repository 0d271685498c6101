#pragma once
// TFTPSend: a blocking FTP client. One control connection and one data
// connection at a time; it logs in directly or through a firewall or proxy
// login scheme, opens passive (PASV/EPSV) or active (PORT/EPRT) data
// connections over IPv4 and IPv6, protects them with TLS through the
// sockets' plug-in when asked, and offers retrieval and storage with
// restart, listings parsed by TFTPList, and the simple commands.
//
// No call raises for a network or protocol failure: each returns false (or
// -1, or an empty text), and ResultCode, ResultString, FullResult and the
// sockets' LastError tell why. Besides the socket's own codes the client
// records 10055 on the control socket when a reply outgrows its limits, and
// on the data socket when a listing does.
//
// By default the address a PASV reply announces is not used: the data
// connection goes to the control connection's peer on the announced port,
// so a server cannot point the client at another host. TrustPasvAddress
// restores the announced address.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/corva_client.h"
#include "net/ftp/ftp_list.h"
#include "net/socket/tcp_socket.h"
#include "platform/stream.h"
#include "platform/string_list.h"

namespace lunaro::net {

class TFTPSend;
class TFTPSocket;

using TFTPStatus = std::function<void(TFTPSend* Sender, bool Response, const std::string& Value)>;

// Limits on what a server may send on the control connection.
inline constexpr int32_t kMaxReplyLineLength = 8192;
inline constexpr int kMaxReplyLines = 2000;
inline constexpr int64_t kMaxReplyBytes = 1024 * 1024;

// A login sequence: (command kind, next index on 2xx, next index on 3xx) in
// steps of three; 255 success, 254 failure.
using TLogonActions = std::array<uint8_t, 18>;

// The passive reply's address and port; false when the reply holds none.
bool ParsePasvReply(const std::string& Reply, std::string& IP, int& Port);
// The port of an EPSV reply ("(|||port|)"); -1 when it holds none.
int ParseEpsvReply(const std::string& Reply);
// The built-in login table of a firewall mode (a mode above 8 is mode 0).
const TLogonActions& FirewallLogonTable(int Mode);

class TFTPSend : public TCorvaClient {
public:
    TFTPSend();
    ~TFTPSend() override;

    int32_t ResultCode() const { return FResultCode; }
    const std::string& ResultString() const { return FResultString; }
    const platform::TStringList& FullResult() const { return FFullResult; }

    std::string Account;
    std::string FWHost;
    std::string FWPort = "21";
    std::string FWUsername;
    std::string FWPassword;
    int32_t FWMode = 0;
    bool DirectFile = false;
    std::string DirectFileName;
    bool PassiveMode = true;
    bool ForceDefaultPort = false;
    bool ForceOldPort = false;
    bool TrustPasvAddress = false;
    bool BinaryMode = true;
    bool AutoTLS = false;
    bool FullSSL = false;
    bool TLSonData = true;
    bool UseMLSDList = false;
    TFTPStatus OnStatus;
    // The login table of FWMode -1.
    TLogonActions CustomLogon{};
    // A lent stream that replaces DataStream for transfers (not for listings).
    platform::TStream* OutputStream = nullptr;

    TTCPBlockSocket& Sock();
    TTCPBlockSocket& DSock();
    platform::TMemoryStream& DataStream() { return FDataStream; }
    const std::string& DataIP() const { return FDataIP; }
    const std::string& DataPort() const { return FDataPort; }
    bool CanResume() const { return FCanResume; }
    bool IsTLS() const { return FIsTLS; }
    bool IsDataTLS() const { return FIsDataTLS; }
    TFTPList& FtpList() { return FFtpList; }

    int FTPCommand(const std::string& Value);
    bool Login();
    bool Logout();
    bool RetrieveFile(const std::string& FileName, bool Restore);
    // Asks for the file from Offset on (REST Offset when it is above 0 and
    // the server can restart); the target receives only those bytes.
    bool RetrieveFileAt(const std::string& FileName, int64_t Offset);
    bool StoreFile(const std::string& FileName, bool Restore);
    bool StoreUniqueFile();
    bool AppendFile(const std::string& FileName);
    bool List(std::string Directory, bool NameList);
    bool NoOp();
    bool RenameFile(const std::string& OldName, const std::string& NewName);
    bool DeleteFile(const std::string& FileName);
    int64_t FileSize(const std::string& FileName);
    bool ChangeWorkingDir(const std::string& Directory);
    bool ChangeToParentDir();
    bool ChangeToRootDir();
    bool DeleteDir(const std::string& Directory);
    bool CreateDir(const std::string& Directory);
    std::string GetCurrentDir();
    void Abort();
    void TelnetAbort();

    bool DataSocket();
    bool AcceptDataSocket();
    bool DataRead(platform::TStream& DestStream, int64_t Limit = -1);
    bool DataWrite(platform::TStream& SourceStream);

protected:
    int ReadResult();
    void DiscardUnreadInput();
    bool Connect();
    bool RunLogonTable(const TLogonActions& Table);
    std::string LogonCommand(int Kind) const;
    bool DataSocketPassive();
    bool DataSocketActive();
    bool StartTLS(TTCPBlockSocket& Socket);
    bool SetTransferType(bool Binary);
    bool StorePut(const std::string& Command, int64_t RestartAt);
    bool TransferTarget(int64_t Offset, std::unique_ptr<platform::TStream>& Owned, platform::TStream*& Target);

private:
    std::unique_ptr<TFTPSocket> FSock;
    std::unique_ptr<TFTPSocket> FDSock;
    platform::TMemoryStream FDataStream;
    TFTPList FFtpList;
    platform::TStringList FFullResult;
    int32_t FResultCode = 0;
    std::string FResultString;
    std::string FDataIP;
    std::string FDataPort;
    bool FCanResume = false;
    bool FIsTLS = false;
    bool FIsDataTLS = false;
};

}  // namespace lunaro::net

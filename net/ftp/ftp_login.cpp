// Connecting, TLS on the control connection, and the login sequences of the
// direct and firewall modes.
#include "net/ftp/ftp_send.h"
#include "net/ftp/ftp_socket.h"

namespace lunaro::net {
namespace {

constexpr uint8_t kSuccess = 255;
constexpr uint8_t kFailure = 254;
constexpr int kMaxPreliminaryReplies = 100;

constexpr TLogonActions kTables[9] = {
    {0, 255, 3, 1, 255, 6, 2, 255, 254},
    {3, 6, 3, 4, 6, 254, 5, 254, 9, 0, 255, 12, 1, 255, 15, 2, 255, 254},
    {3, 6, 3, 4, 6, 254, 6, 255, 9, 1, 255, 12, 2, 255, 254},
    {3, 6, 3, 4, 6, 254, 0, 255, 9, 1, 255, 12, 2, 255, 254},
    {7, 3, 3, 0, 255, 6, 1, 255, 9, 2, 255, 254},
    {6, 255, 3, 1, 255, 6, 2, 255, 254},
    {8, 6, 3, 4, 6, 254, 0, 255, 9, 1, 255, 12, 2, 255, 254},
    {9, 254, 3, 1, 255, 6, 2, 255, 254},
    {10, 255, 3, 11, 255, 6, 2, 255, 254},
};

int ReplyClass(int Code) { return Code / 100; }

}  // namespace

const TLogonActions& FirewallLogonTable(int Mode) { return kTables[Mode >= 0 && Mode <= 8 ? Mode : 0]; }

bool TFTPSend::Connect() {
    FSock->CloseSocket();
    FSock->Bind(IPInterface, "0");
    if (FSock->LastError() != 0) return false;
    if (!FWHost.empty()) {
        FSock->Connect(FWHost, FWPort);
    } else {
        FSock->Connect(TargetHost, TargetPort);
    }
    if (FSock->LastError() == 0 && FullSSL) StartTLS(*FSock);
    return FSock->LastError() == 0;
}

bool TFTPSend::StartTLS(TTCPBlockSocket& Socket) {
    if (Socket.SSL().SNIHost.empty()) Socket.SSL().SNIHost = TargetHost;
    Socket.SSLDoConnect();
    return Socket.LastError() == 0;
}

std::string TFTPSend::LogonCommand(int Kind) const {
    const std::string host = TargetPort == "21" ? TargetHost : TargetHost + ":" + TargetPort;
    switch (Kind) {
        case 0: return "USER " + UserName;
        case 1: return "PASS " + Password;
        case 2: return "ACCT " + Account;
        case 3: return "USER " + FWUsername;
        case 4: return "PASS " + FWPassword;
        case 5: return "SITE " + host;
        case 6: return "USER " + UserName + "@" + host;
        case 7: return "OPEN " + host;
        case 8: return "USER " + FWUsername + "@" + host;
        case 9: return "USER " + UserName + "@" + host + " " + FWUsername;
        case 10: return "USER " + UserName + "@" + FWUsername + "@" + host;
        case 11: return "PASS " + Password + "@" + FWPassword;
        default: return {};
    }
}

bool TFTPSend::RunLogonTable(const TLogonActions& Table) {
    size_t index = 0;
    // Every step moves to another entry; a table that loops ends when it has
    // had more steps than it has entries.
    for (size_t steps = 0; steps <= Table.size() / 3; ++steps) {
        if (index + 2 >= Table.size()) return false;
        const std::string command = LogonCommand(Table[index]);
        if (command.empty()) return false;
        const int reply = ReplyClass(FTPCommand(command));
        uint8_t next = kFailure;
        if (reply == 2) next = Table[index + 1];
        else if (reply == 3) next = Table[index + 2];
        if (next == kSuccess) return true;
        if (next == kFailure) return false;
        index = next;
    }
    return false;
}

bool TFTPSend::Login() {
    FCanResume = false;
    if (!Connect()) return false;
    FIsTLS = FullSSL;
    FIsDataTLS = false;
    // A server may announce a delay with 1xx replies first, but not forever.
    int code = 0;
    int preliminary = 0;
    do {
        code = ReadResult();
    } while (ReplyClass(code) == 1 && ++preliminary < kMaxPreliminaryReplies);
    if (ReplyClass(code) != 2) return false;
    if (AutoTLS && !FIsTLS) {
        if (ReplyClass(FTPCommand("AUTH TLS")) == 2) {
            FIsTLS = StartTLS(*FSock);
            if (!FIsTLS) return false;
        }
    }
    const TLogonActions& table = FWHost.empty() ? FirewallLogonTable(0)
                                 : FWMode == -1 ? CustomLogon
                                                : FirewallLogonTable(FWMode);
    if (!RunLogonTable(table)) return false;
    if (FIsTLS) {
        FTPCommand("PBSZ 0");
        if (TLSonData) FIsDataTLS = ReplyClass(FTPCommand("PROT P")) == 2;
        if (!FIsDataTLS) FTPCommand("PROT C");
    }
    FTPCommand("TYPE I");
    FTPCommand("STRU F");
    FTPCommand("MODE S");
    if (FTPCommand("REST 0") == 350 && FTPCommand("REST 1") == 350) {
        FTPCommand("REST 0");
        FCanResume = true;
    }
    return true;
}

bool TFTPSend::Logout() {
    const bool result = ReplyClass(FTPCommand("QUIT")) == 2;
    FSock->CloseSocket();
    return result;
}

}  // namespace lunaro::net

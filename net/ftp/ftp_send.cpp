// TFTPSend: the control dialogue (replies, commands) and the simple commands.
#include "net/ftp/ftp_send.h"

#include "net/ftp/decimal_text.h"
#include "net/ftp/ftp_socket.h"
#include "net/text_utils.h"
#include "platform/socket_errors.h"

namespace lunaro::net {
namespace {

bool Succeeded(int Code) { return Code / 100 == 2; }

}  // namespace

TFTPSend::TFTPSend() : FSock(std::make_unique<TFTPSocket>()), FDSock(std::make_unique<TFTPSocket>()) {
    FSock->Owner = this;
    FDSock->Owner = this;
    FSock->ConvertLineEnd = true;
    FSock->MaxLineLength = kMaxReplyLineLength;
    Timeout = 300000;
    TargetPort = "21";
    UserName = "anonymous";
    Password = "visitante@" + FSock->LocalName();
}

TFTPSend::~TFTPSend() = default;

TTCPBlockSocket& TFTPSend::Sock() { return *FSock; }
TTCPBlockSocket& TFTPSend::DSock() { return *FDSock; }

int TFTPSend::ReadResult() {
    FFullResult.Clear();
    std::string code;
    int64_t bytes = 0;
    for (;;) {
        const std::string line = FSock->RecvString(Timeout);
        if (code.empty() && line.size() > 3 && (line[3] == ' ' || line[3] == '-')) code = line.substr(0, 3);
        FResultString = line;
        FFullResult.Add(line);
        if (OnStatus) OnStatus(this, true, line);
        if (FSock->LastError() != 0) break;
        if (!code.empty() && line.size() > 3 && line.compare(0, 3, code) == 0 && line[3] == ' ') break;
        bytes += static_cast<int64_t>(line.size()) + 2;
        if (FFullResult.Count() >= kMaxReplyLines || bytes > kMaxReplyBytes) {
            // A reply that never ends: the dialogue cannot go on in step.
            FSock->AbortSocket();
            FSock->RecordError(platform::WSAENOBUFS);
            code.clear();
            break;
        }
    }
    FResultCode = static_cast<int32_t>(DecimalOr(code, 0));
    return FResultCode;
}

void TFTPSend::DiscardUnreadInput() {
    TCustomSSL& ssl = FSock->SSL();
    if (!ssl.SSLEnabled()) {
        FSock->Purge();
        return;
    }
    // Bytes waiting under TLS may be records that carry no data (the
    // session tickets a server sends after the handshake): reading them
    // must not then wait for data that is not coming.
    const int32_t timeout = ssl.Timeout;
    ssl.Timeout = 0;
    FSock->Purge();
    ssl.Timeout = timeout;
}

int TFTPSend::FTPCommand(const std::string& Value) {
    if (Value.find_first_of("\r\n") != std::string::npos) {
        // A name holding a line break would smuggle a second command in.
        FResultCode = 0;
        FResultString.clear();
        FFullResult.Clear();
        FSock->RecordError(platform::WSAEINVAL);
        return 0;
    }
    DiscardUnreadInput();
    FSock->SendString(Value + "\r\n");
    if (OnStatus) OnStatus(this, false, Value);
    return ReadResult();
}

bool TFTPSend::NoOp() { return Succeeded(FTPCommand("NOOP")); }

bool TFTPSend::RenameFile(const std::string& OldName, const std::string& NewName) {
    if (FTPCommand("RNFR " + OldName) / 100 != 3) return false;
    return Succeeded(FTPCommand("RNTO " + NewName));
}

bool TFTPSend::DeleteFile(const std::string& FileName) { return Succeeded(FTPCommand("DELE " + FileName)); }

int64_t TFTPSend::FileSize(const std::string& FileName) {
    if (!Succeeded(FTPCommand("SIZE " + FileName))) return -1;
    const std::string after = TextAfter(FResultString, " ");
    if (after == FResultString) return -1;
    return DecimalOr(Trim(TextBefore(after, " ")), -1);
}

bool TFTPSend::ChangeWorkingDir(const std::string& Directory) { return Succeeded(FTPCommand("CWD " + Directory)); }
bool TFTPSend::ChangeToParentDir() { return Succeeded(FTPCommand("CDUP")); }
bool TFTPSend::ChangeToRootDir() { return ChangeWorkingDir("/"); }
bool TFTPSend::DeleteDir(const std::string& Directory) { return Succeeded(FTPCommand("RMD " + Directory)); }
bool TFTPSend::CreateDir(const std::string& Directory) { return Succeeded(FTPCommand("MKD " + Directory)); }

std::string TFTPSend::GetCurrentDir() {
    if (!Succeeded(FTPCommand("PWD"))) return {};
    const size_t first = FResultString.find('"');
    const size_t second = first == std::string::npos ? std::string::npos : FResultString.find('"', first + 1);
    if (second == std::string::npos) return {};
    return Trim(FResultString.substr(first + 1, second - first - 1));
}

void TFTPSend::Abort() {
    FSock->SendString("ABOR\r\n");
    FDSock->StopFlag = true;
}

void TFTPSend::TelnetAbort() {
    FSock->SendString(std::string("\xFF\xF4\xFF\xF2", 4));
    Abort();
}

}  // namespace lunaro::net

// The data connection: passive (PASV/EPSV) or active (PORT/EPRT), accepted,
// protected when the control connection asked for it, and read or written.
#include <vector>

#include "net/ftp/ftp_send.h"
#include "net/ftp/ftp_socket.h"
#include "net/text_utils.h"
#include "platform/socket_errors.h"

namespace lunaro::net {
namespace {

bool Succeeded(int Code) { return Code / 100 == 2; }

}  // namespace

bool TFTPSend::DataSocket() {
    if (FIsDataTLS) PassiveMode = true;
    return PassiveMode ? DataSocketPassive() : DataSocketActive();
}

bool TFTPSend::DataSocketPassive() {
    if (FSock->IP6used()) {
        if (ForceOldPort || !Succeeded(FTPCommand("EPSV 2"))) return false;
        const int port = ParseEpsvReply(FResultString);
        if (port < 0) return false;
        FDataIP = TargetHost;
        FDataPort = std::to_string(port);
    } else {
        if (!Succeeded(FTPCommand("PASV"))) return false;
        std::string announced;
        int port = 0;
        if (!ParsePasvReply(FResultString, announced, port)) return false;
        // The announced address could point anywhere; the server's own
        // address is where its data port is.
        FDataIP = TrustPasvAddress ? announced : FSock->GetRemoteSinIP();
        FDataPort = std::to_string(port);
    }
    FDSock->CloseSocket();
    FDSock->Bind(IPInterface, "0");
    if (FDSock->LastError() != 0) return false;
    FDSock->Connect(FDataIP, FDataPort);
    return FDSock->LastError() == 0;
}

bool TFTPSend::DataSocketActive() {
    FDSock->CloseSocket();
    FDSock->Bind(FSock->GetLocalSinIP(), ForceDefaultPort ? "20" : "0");
    if (FDSock->LastError() != 0) return false;
    FDSock->SetLinger(true, 10000);
    FDSock->Listen();
    if (FDSock->LastError() != 0) return false;
    FDataIP = FDSock->GetLocalSinIP();
    FDataIP = FDSock->ResolveName(FDataIP);
    FDataPort = std::to_string(FDSock->GetLocalSinPort());
    if (FSock->IP6used() && !ForceOldPort) {
        const std::string family = IsIPv6Text(FDataIP) ? "2" : "1";
        return Succeeded(FTPCommand("EPRT |" + family + "|" + FDataIP + "|" + FDataPort + "|"));
    }
    if (IsIPv6Text(FDataIP)) return false;
    const int port = FDSock->GetLocalSinPort();
    return Succeeded(FTPCommand("PORT " + ReplaceAll(FDataIP, ".", ",") + "," + std::to_string(port / 256) + "," +
                                std::to_string(port % 256)));
}

bool TFTPSend::AcceptDataSocket() {
    if (!PassiveMode) {
        if (!FDSock->CanRead(Timeout)) return false;
        const TSocket accepted = FDSock->Accept();
        if (accepted == INVALID_SOCKET) return false;
        // Adopting the accepted socket closes the listening one; through a
        // SOCKS proxy the bound connection itself carries the data.
        if (!FDSock->UsingSocks()) FDSock->SetSocket(accepted);
        FDSock->GetSins();
    }
    if (FIsDataTLS) {
        FDSock->SSL().Assign(FSock->SSL());
        if (!StartTLS(*FDSock)) return false;
    }
    return true;
}

bool TFTPSend::DataRead(platform::TStream& DestStream, int64_t Limit) {
    bool result = false;
    try {
        if (!AcceptDataSocket()) {
            FDSock->CloseSocket();
            return false;
        }
        int64_t received = 0;
        for (;;) {
            const std::string packet = FDSock->RecvPacket(Timeout);
            if (FDSock->LastError() != 0) break;
            received += static_cast<int64_t>(packet.size());
            if (Limit >= 0 && received > Limit) {
                FDSock->RecordError(platform::WSAENOBUFS);
                break;
            }
            WriteTextToStream(DestStream, packet);
        }
        // The peer closing is the normal end of the data; any other
        // error stays recorded for the caller.
        const bool cleanEnd = FDSock->LastError() == platform::WSAECONNRESET;
        const bool overflow = FDSock->LastError() == platform::WSAENOBUFS;
        if (cleanEnd) FDSock->ResetLastError();
        FDSock->CloseSocket();
        ReadResult();
        FDSock->CloseSocket();
        if (overflow) FDSock->RecordError(platform::WSAENOBUFS);
        result = cleanEnd && Succeeded(FResultCode);
    } catch (...) {
        FDSock->CloseSocket();
        throw;
    }
    return result;
}

bool TFTPSend::DataWrite(platform::TStream& SourceStream) {
    bool result = false;
    try {
        if (!AcceptDataSocket()) {
            FDSock->CloseSocket();
            return false;
        }
        FDSock->SendStreamRaw(SourceStream);
        const bool sent = FDSock->LastError() == 0;
        FDSock->CloseSocket();
        ReadResult();
        FDSock->CloseSocket();
        result = sent && Succeeded(FResultCode);
    } catch (...) {
        FDSock->CloseSocket();
        throw;
    }
    return result;
}

}  // namespace lunaro::net

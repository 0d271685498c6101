// Retrieval, storage and listings over the data connection.
#include "net/ftp/ftp_send.h"
#include "net/ftp/ftp_socket.h"
#include "platform/files.h"
#include "platform/socket_errors.h"

namespace lunaro::net {
namespace {

int ReplyClass(int Code) { return Code / 100; }

}  // namespace

bool TFTPSend::SetTransferType(bool Binary) { return ReplyClass(FTPCommand(Binary ? "TYPE I" : "TYPE A")) == 2; }

bool TFTPSend::RetrieveFile(const std::string& FileName, bool Restore) {
    int64_t offset = 0;
    if (Restore && FCanResume) {
        if (DirectFile) {
            offset = platform::FileExists(DirectFileName) ? platform::FileSize(DirectFileName) : 0;
        } else {
            offset = (OutputStream ? *OutputStream : static_cast<platform::TStream&>(FDataStream)).Size();
        }
    }
    return RetrieveFileAt(FileName, offset);
}

bool TFTPSend::TransferTarget(int64_t Offset, std::unique_ptr<platform::TStream>& Owned, platform::TStream*& Target) {
    if (DirectFile) {
        const bool append = Offset > 0 && platform::FileExists(DirectFileName);
        try {
            Owned = std::make_unique<platform::TFileStream>(
                DirectFileName, append ? platform::fmOpenReadWrite | platform::fmShareExclusive
                                       : platform::fmCreate | platform::fmShareDenyNone);
        } catch (const platform::EStreamError&) {
            return false;
        }
        Target = Owned.get();
        if (append) Target->Seek(Offset, platform::TSeekOrigin::soBeginning);
        return true;
    }
    Target = OutputStream ? OutputStream : &FDataStream;
    if (Offset <= 0 || Target->Size() != Offset) {
        // A lent stream takes only the bytes from Offset on.
        if (Target->Size() != 0) Target->SetSize(0);
        Target->SetPosition(0);
    } else {
        Target->Seek(0, platform::TSeekOrigin::soEnd);
    }
    return true;
}

bool TFTPSend::RetrieveFileAt(const std::string& FileName, int64_t Offset) {
    if (FileName.empty()) return false;
    if (!DataSocket()) return false;
    const bool restart = Offset > 0 && FCanResume;
    std::unique_ptr<platform::TStream> owned;
    platform::TStream* target = nullptr;
    if (!TransferTarget(restart ? Offset : 0, owned, target)) return false;
    FTPCommand(BinaryMode ? "TYPE I" : "TYPE A");
    if (restart && ReplyClass(FTPCommand("REST " + std::to_string(Offset))) != 3) return false;
    if (ReplyClass(FTPCommand("RETR " + FileName)) != 1) return false;
    const bool result = DataRead(*target);
    if (target == &FDataStream) FDataStream.SetPosition(0);
    return result;
}

bool TFTPSend::StorePut(const std::string& Command, int64_t RestartAt) {
    std::unique_ptr<platform::TStream> owned;
    platform::TStream* source = &FDataStream;
    if (DirectFile) {
        if (!platform::FileExists(DirectFileName)) return false;
        try {
            owned = std::make_unique<platform::TFileStream>(DirectFileName,
                                                            platform::fmOpenRead | platform::fmShareDenyWrite);
        } catch (const platform::EStreamError&) {
            return false;
        }
        source = owned.get();
    }
    if (!DataSocket()) return false;
    FTPCommand(BinaryMode ? "TYPE I" : "TYPE A");
    const int64_t size = source->Size();
    int64_t offset = FCanResume ? RestartAt : 0;
    if (size > 0 && offset == size) {
        // Nothing left to send; the data connection opened for it goes.
        FDSock->CloseSocket();
        return true;
    }
    if (offset > size || offset < 0) offset = 0;
    FTPCommand("ALLO " + std::to_string(size - offset));
    if (FCanResume && ReplyClass(FTPCommand("REST " + std::to_string(offset))) != 3) return false;
    source->SetPosition(offset);
    if (ReplyClass(FTPCommand(Command)) != 1) return false;
    return DataWrite(*source);
}

bool TFTPSend::StoreFile(const std::string& FileName, bool Restore) {
    int64_t restartAt = 0;
    if (Restore && FCanResume) {
        restartAt = FileSize(FileName);
        if (restartAt < 0) restartAt = 0;
    }
    return StorePut("STOR " + FileName, restartAt);
}

bool TFTPSend::StoreUniqueFile() { return StorePut("STOU", 0); }

bool TFTPSend::AppendFile(const std::string& FileName) {
    if (FileName.empty()) return false;
    return StorePut("APPE " + FileName, 0);
}

bool TFTPSend::List(std::string Directory, bool NameList) {
    FDataStream.Clear();
    FFtpList.Clear();
    if (!Directory.empty()) Directory = " " + Directory;
    FTPCommand("TYPE A");
    if (!DataSocket()) return false;
    const std::string verb = NameList ? "NLST" : UseMLSDList ? "MLSD" : "LIST";
    if (ReplyClass(FTPCommand(verb + Directory)) != 1) return false;
    bool result = DataRead(FDataStream, kMaxListingBytes);
    if (result && !NameList) {
        FFtpList.FLines.SetText(FDataStream.ToString());
        if (FFtpList.FLines.Count() > kMaxListingLines) {
            FFtpList.Clear();
            FDSock->RecordError(platform::WSAENOBUFS);
            result = false;
        } else if (UseMLSDList) {
            FFtpList.ParseMLSDLines();
        } else {
            FFtpList.ParseLines();
        }
    }
    FDataStream.SetPosition(0);
    return result;
}

}  // namespace lunaro::net

#pragma once
// TNexoFTPDownload: the worker for FTP. It owns an FTP client, logs in with
// the component's FTP settings, asks for the remote file's size, retrieves
// it (restarting at the partial file's size when the server can restart)
// and lets the base write, time and finish the file from the reports of the
// client's data socket. The client always logs out, also after an error.
//
// The file takes its final name only when the transfer's final reply is a
// success and, when the server told the size, the file on disk has it. A
// server that cannot restart sends the whole file again, so a partial file
// then starts from zero rather than taking the whole file behind itself.
#include <cstdint>
#include <memory>
#include <string>

#include "download/nexo_download_class.h"
#include "download/releasing_document.h"
#include "net/ftp/ftp_send.h"

namespace lunaro::download {

class TNexoFTPDownload : public TNexoDownloadClass {
public:
    explicit TNexoFTPDownload(TNexoDownload* owner);
    ~TNexoFTPDownload() override;

    // Raises ENexoDownloadError when the login fails, when no file name
    // can be found, and the base's file errors; a refused or cut transfer
    // raises nothing.
    void StartDownload() override;
    void SocketStatus(net::TBlockSocket* Sender, net::THookSocketReason Reason, const std::string& Value) override;
    TTransferReply LastReply() const override;
    // Shared with the component, not copied; a null object is refused.
    void SetFTP(std::shared_ptr<TNexoFTP> value) override;
    const std::shared_ptr<TNexoFTP>& FTP() const { return fFTP; }

    // The client, for a caller that wants its dialogue or settings.
    net::TFTPSend& FTPSend() { return *fFTPSend; }

protected:
    bool FilePartComplete() const override;

private:
    void ApplyClientSettings();
    // The partial file's size: where the server is asked to start.
    int64_t RestartOffset();
    // Keeps the client's last reply and socket errors before the logout
    // replaces them.
    void RememberReply();

    TReleasingDocument document_;  // outlives the client that writes into it
    std::unique_ptr<net::TFTPSend> fFTPSend;
    std::shared_ptr<TNexoFTP> fFTP;
    std::string remotePath_;
    int64_t remoteSize_ = -1;      // the whole remote file's, -1 when unknown
    bool transferOpened_ = false;  // the server answered RETR with 125 or 150
    TTransferReply lastReply_;
};

}  // namespace lunaro::download

#include "download/nexo_download.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "download/download_types.h"
#include "tests/support/test_support.h"

namespace lunaro::download {
namespace {

TEST(DownloadComponentSettings, DefaultsOfANewComponent) {
    TNexoDownload download;
    EXPECT_EQ(download.Protocolo(), TNexoProtocolo::protNenhum);
    EXPECT_EQ(download.DownloadStatus(), TDownloadStatus::stNone);
    EXPECT_EQ(download.SizeRecvBuffer(), 0);
    EXPECT_EQ(download.Proxy()->ProxyTimeout, 90000);
    EXPECT_EQ(download.Proxy()->ProxyHost, "");
    EXPECT_EQ(download.FTP()->FtpTimeout, 300000);
    EXPECT_EQ(download.FTP()->FtpPort, "");
}

TEST(DownloadComponentSettings, StartWithoutAUsableProtocolChangesNothing) {
    TNexoDownload download;
    TNexoDownloadClass* before = &download.Worker();
    try {
        download.StartDownload();
        FAIL() << "no error";
    } catch (const ENexoDownloadError& error) {
        EXPECT_EQ(error.Message(), "Antes de iniciar o download, defina o protocolo a ser usado HTTP ou FTP!");
    }
    EXPECT_EQ(&download.Worker(), before);
    EXPECT_EQ(download.DownloadStatus(), TDownloadStatus::stNone);
}

TEST(DownloadComponentSettings, FtpWithoutAHostFailsTheLoginWithoutConnecting) {
    TNexoDownload download;
    download.SetProtocolo(TNexoProtocolo::protFTP);
    download.SetDownloadUrl("ftp://ignored.invalid/pub/a.zip");
    testkit::TempDir dest;
    download.SetDownloadDest(dest.Path());
    try {
        download.StartDownload();
        FAIL() << "no error";
    } catch (const ENexoDownloadError& error) {
        EXPECT_EQ(error.Id(), TDownloadErrorId::LoginFailed);
        EXPECT_EQ(error.Message(), "Não foi possível efetuar o login!");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dest.Path()));  // no partial file before the login
}

TEST(DownloadComponentSettings, SettersReachTheCurrentWorker) {
    TNexoDownload download;
    download.SetDownloadUrl("http://h/a.zip");
    download.SetDownloadDest("c:\\Lunaro\\");
    download.SetDownloadNomeArq("b.zip");
    download.SetSizeRecvBuffer(65536);
    TNexoDownloadClass& worker = download.Worker();
    EXPECT_EQ(worker.DownloadUrl(), "http://h/a.zip");
    EXPECT_EQ(worker.DownloadDest(), "c:\\Lunaro\\");
    EXPECT_EQ(worker.DownloadNomeArq(), "b.zip");
    EXPECT_EQ(worker.SizeRecvBuffer(), 65536);

    auto proxy = std::make_shared<TNexoProxy>();
    download.SetProxy(proxy);
    proxy->ProxyHost = "later";
    EXPECT_EQ(worker.Proxy()->ProxyHost, "later");  // shared, not copied
    EXPECT_THROW(download.SetProxy(nullptr), ENexoDownloadError);
    EXPECT_THROW(download.SetFTP(nullptr), ENexoDownloadError);

    TNexoDownloadClass* sender = nullptr;
    download.SetOnDownloadStatus([&](TNexoDownloadClass* s, TDownloadStatus) { sender = s; });
    download.SetDownloadStatus(TDownloadStatus::stPause);
    EXPECT_EQ(sender, &worker);
    EXPECT_EQ(worker.DownloadStatus(), TDownloadStatus::stPause);
}

}  // namespace
}  // namespace lunaro::download

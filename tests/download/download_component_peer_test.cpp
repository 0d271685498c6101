// The download component against a real nginx: whole transfers, resume,
// stop and pause, error replies, a server that dies, redirects, names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "download/download_types.h"
#include "download/nexo_download.h"
#include "download/nexo_http_download.h"
#include "tests/download/download_peer_fixture.h"

namespace lunaro::download {
namespace {

namespace fs = std::filesystem;
using net::THookSocketReason;
using testkit::ReadFile;
using testkit::WriteFile;

class DownloadComponent : public testing_support::ServedFolder {
protected:
    void SetUp() override {
        ServedFolder::SetUp();
        download.SetProtocolo(TNexoProtocolo::protHTTP);
        download.SetDownloadDest(dest.Path());
        download.SetOnBeforeDownload([this](TNexoDownloadClass*) { log.push_back("before"); });
        download.SetOnAfterDownload([this](TNexoDownloadClass* sender) {
            log.push_back("after");
            afterSender = sender;
        });
        download.SetOnHookStatus([this](net::TBlockSocket* sender, THookSocketReason reason, int32_t to, int32_t done) {
            statusSender = sender;
            if (reason == THookSocketReason::HR_Connect) log.push_back("connect");
            if (reason == THookSocketReason::HR_ReadCount) {
                log.push_back("readcount");
                readCountTo = to;
                readCountDone = done;
            }
            if (reason == THookSocketReason::HR_SocketClose) log.push_back("close");
        });
        download.SetOnHookMonitor(
            [this](net::TBlockSocket*, int32_t, int32_t done, double, uint16_t, uint16_t, uint16_t) {
                if (log.empty() || log.back() != "monitor") log.push_back("monitor");
                lastDone = done;
                if (onMonitor) onMonitor(done);
            });
    }

    TNexoHTTPDownload& Worker() { return dynamic_cast<TNexoHTTPDownload&>(download.Worker()); }

    TNexoDownload download;
    std::vector<std::string> log;
    TNexoDownloadClass* afterSender = nullptr;
    net::TBlockSocket* statusSender = nullptr;
    int32_t readCountTo = -1;
    int32_t readCountDone = -1;
    int32_t lastDone = 0;
    std::function<void(int32_t)> onMonitor;
};

TEST_F(DownloadComponent, FreshDownloadTakesItsFinalNameWithEventsInOrder) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadUrl(Url("data/medium.bin"));
    download.StartDownload();

    EXPECT_EQ(ReadFile(Dest("medium.bin")), medium);
    EXPECT_FALSE(fs::exists(Dest("medium.bin.part")));
    EXPECT_TRUE(Worker().Finished());
    EXPECT_EQ(Worker().ResultCode(), 200);
    const std::vector<std::string> expected = {"before",  "connect", "monitor", "readcount",
                                               "monitor", "close",   "after"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(readCountTo, static_cast<int32_t>(medium.size()));
    EXPECT_EQ(readCountDone, 0);
    EXPECT_EQ(afterSender, &download.Worker());
    EXPECT_EQ(statusSender, &Worker().HTTPSend().Sock());
    EXPECT_EQ(download.DownloadStatus(), TDownloadStatus::stDownload);
}

TEST_F(DownloadComponent, StartFromInsideItsOwnTransferIsRefused) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadUrl(Url("data/small.bin"));
    std::string refusal;
    download.SetOnBeforeDownload([&](TNexoDownloadClass*) {
        try {
            download.StartDownload();
        } catch (const ENexoDownloadError& error) {
            refusal = error.Message();
        }
    });
    download.StartDownload();
    EXPECT_NE(refusal, "");
    EXPECT_EQ(ReadFile(Dest("small.bin")), small);
}

TEST_F(DownloadComponent, ResumesAPartialFileAndReplacesAnOlderFinalFile) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    WriteFile(Dest("medium.bin.part"), medium.substr(0, 1000000));
    WriteFile(Dest("medium.bin"), "an older version");
    download.SetDownloadUrl(Url("data/medium.bin"));
    download.StartDownload();

    EXPECT_EQ(Worker().ResultCode(), 206);
    EXPECT_EQ(Worker().BytesResumed(), 1000000);
    EXPECT_EQ(readCountDone, 1000000);
    EXPECT_EQ(readCountTo, static_cast<int32_t>(medium.size()));
    EXPECT_TRUE(ReadFile(Dest("medium.bin")) == medium);
    EXPECT_FALSE(fs::exists(Dest("medium.bin.part")));

    // A rest so short that it comes with the reply headers: no size is ever
    // reported, and the file is still finished.
    WriteFile(Dest("small.bin.part"), small.substr(0, 1400));
    download.SetDownloadUrl(Url("data/small.bin"));
    download.StartDownload();
    EXPECT_EQ(Worker().ResultCode(), 206);
    EXPECT_EQ(ReadFile(Dest("small.bin")), small);
}

TEST_F(DownloadComponent, ResumeAnsweredWithTheWholeFileStartsOverAndUnknownSizeStillFinishes) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    WriteFile(Dest("medium.bin.part"), std::string(4096, 'x'));
    download.SetDownloadUrl(Url("nolen/medium.bin"));
    download.StartDownload();

    EXPECT_EQ(Worker().ResultCode(), 200);
    EXPECT_EQ(Worker().DownloadSize(), 0);
    EXPECT_TRUE(ReadFile(Dest("medium.bin")) == medium);
    // No size announced: no read-count report, the monitor alone follows it.
    EXPECT_EQ(std::count(log.begin(), log.end(), "readcount"), 0);
    EXPECT_GE(lastDone, static_cast<int32_t>(medium.size()) - 65536);
}

TEST_F(DownloadComponent, StopFromTheMonitorDeletesThePartialFile) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadUrl(Url("data/medium.bin"));
    onMonitor = [&](int32_t done) {
        if (done > 100000) download.SetDownloadStatus(TDownloadStatus::stStop);
    };
    download.StartDownload();

    EXPECT_FALSE(fs::exists(Dest("medium.bin.part")));
    EXPECT_FALSE(fs::exists(Dest("medium.bin")));
    EXPECT_NE(std::find(log.begin(), log.end(), "close"), log.end());
    EXPECT_EQ(log.back(), "after");
    EXPECT_EQ(download.DownloadStatus(), TDownloadStatus::stStop);
    EXPECT_EQ(afterSender->DownloadStatus(), TDownloadStatus::stStop);
}

TEST_F(DownloadComponent, PauseKeepsThePartialFileAndTheNextStartCompletesIt) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadUrl(Url("slow/medium.bin"));
    onMonitor = [&](int32_t done) {
        if (done > 200000) download.SetDownloadStatus(TDownloadStatus::stPause);
    };
    download.StartDownload();
    EXPECT_EQ(download.DownloadStatus(), TDownloadStatus::stPause);
    const auto kept = static_cast<size_t>(fs::file_size(Dest("medium.bin.part")));
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, medium.size());
    EXPECT_TRUE(ReadFile(Dest("medium.bin.part")) == medium.substr(0, kept));

    onMonitor = nullptr;
    download.SetDownloadUrl(Url("data/medium.bin"));
    download.StartDownload();
    EXPECT_EQ(Worker().BytesResumed(), static_cast<int64_t>(kept));
    EXPECT_TRUE(ReadFile(Dest("medium.bin")) == medium);
    EXPECT_EQ(download.DownloadStatus(), TDownloadStatus::stDownload);
}

TEST_F(DownloadComponent, ErrorReplyLeavesNoFileAndNoBytesBehind) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadUrl(Url("data/missing.bin"));
    download.StartDownload();

    EXPECT_EQ(Worker().ResultCode(), 404);
    EXPECT_FALSE(Worker().Finished());
    EXPECT_FALSE(fs::exists(Dest("missing.bin")));
    // Nothing was received, so not even an empty partial file is left.
    EXPECT_FALSE(fs::exists(Dest("missing.bin.part")));
    EXPECT_EQ(log.back(), "after");
}

TEST_F(DownloadComponent, ServerDyingMidBodyLeavesAResumablePartialFile) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadUrl(Url("slow/medium.bin"));
    bool killed = false;
    onMonitor = [&](int32_t done) {
        if (!killed && done > 300000) {
            killed = true;
            nginx->KillWorkers();
        }
    };
    download.StartDownload();
    EXPECT_TRUE(killed);
    EXPECT_FALSE(Worker().Finished());
    EXPECT_FALSE(fs::exists(Dest("medium.bin")));
    EXPECT_NE(Worker().HTTPSend().Sock().LastError(), 0);
    const auto kept = static_cast<size_t>(fs::file_size(Dest("medium.bin.part")));
    EXPECT_TRUE(ReadFile(Dest("medium.bin.part")) == medium.substr(0, kept));

    onMonitor = nullptr;
    download.SetDownloadUrl(Url("data/medium.bin"));
    download.StartDownload();
    EXPECT_EQ(Worker().BytesResumed(), static_cast<int64_t>(kept));
    EXPECT_TRUE(ReadFile(Dest("medium.bin")) == medium);
}

TEST_F(DownloadComponent, RedirectContinuesUnderTheFirstName) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadUrl(Url("old/alias.bin"));
    download.StartDownload();

    EXPECT_TRUE(ReadFile(Dest("alias.bin")) == medium);
    EXPECT_FALSE(fs::exists(Dest("alias.bin.part")));
    EXPECT_EQ(Worker().DownloadUrl(), Url("data/medium.bin"));
    EXPECT_EQ(std::count(log.begin(), log.end(), "before"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "after"), 1);
}

TEST_F(DownloadComponent, RedirectLoopEndsAfterTheLimit) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadUrl(Url("loop.bin"));
    download.StartDownload();

    EXPECT_EQ(Worker().ResultCode(), 302);
    EXPECT_FALSE(Worker().Finished());
    EXPECT_EQ(std::count(log.begin(), log.end(), "before"), TNexoHTTPDownload::kMaxRedirects + 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "after"), 1);
    EXPECT_FALSE(fs::exists(Dest("loop.bin")));
}

TEST_F(DownloadComponent, FileNamesFromPresetProbeOrNowhere) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    download.SetDownloadNomeArq("saida.zip");
    download.SetDownloadUrl(Url("data/small.bin"));
    download.StartDownload();
    EXPECT_EQ(ReadFile(Dest("saida.zip")), small);

    download.SetDownloadNomeArq("");
    download.SetDownloadUrl(Url("named/"));
    download.StartDownload();
    EXPECT_EQ(ReadFile(Dest("probed.bin")), small);

    log.clear();
    download.SetDownloadUrl(Url("data/"));
    try {
        download.StartDownload();
        FAIL() << "no error";
    } catch (const ENexoDownloadError& error) {
        EXPECT_EQ(error.Message(), "Favor informar o nome do arquivo para download!");
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), "before"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "after"), 0);
}

}  // namespace
}  // namespace lunaro::download

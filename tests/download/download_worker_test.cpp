// The worker base driven directly through its two socket hooks, the way a
// protocol client drives it, without a network: partial-file rules, the
// byte accounting and the events.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "download/download_types.h"
#include "download/nexo_download.h"
#include "download/nexo_download_class.h"
#include "tests/support/test_support.h"

namespace lunaro::download {
namespace {

using net::THookSocketReason;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct TEvent {
    THookSocketReason Reason;
    int32_t ToDownload;
    int32_t Downloaded;
};

// A worker with a socket that is never connected: the test plays the
// protocol client, reporting reads and closes and filling the document.
class TScriptedWorker : public TNexoDownloadClass {
public:
    explicit TScriptedWorker(TNexoDownload* owner) : TNexoDownloadClass(owner) {
        AttachSocket(&socket_, &document_);
        OnHookStatus = [this](net::TBlockSocket*, THookSocketReason reason, int32_t to, int32_t done) {
            events.push_back({reason, to, done});
        };
        OnHookMonitor = [this](net::TBlockSocket*, int32_t, int32_t, double, uint16_t, uint16_t, uint16_t) {
            ++monitorCalls;
            if (onMonitor) onMonitor();
        };
    }
    ~TScriptedWorker() override { DetachSocket(); }

    void Open(const std::string& name) {
        SetFilePart(name);
        OpenFilePart();
    }
    // One reply: its code and announced size (0: unknown).
    void Reply(int32_t code, int64_t size) {
        SetResultCode(code);
        SetTransferSize(size);
    }
    // One block from the socket: reported, watched, then stored by the client.
    void Receive(const std::string& bytes) {
        SocketStatus(&socket_, THookSocketReason::HR_ReadCount, std::to_string(bytes.size()));
        SocketMonitor(&socket_, false, bytes.data(), static_cast<int>(bytes.size()));
        document_.Seek(0, platform::TSeekOrigin::soEnd);
        document_.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
    void Close() { SocketStatus(&socket_, THookSocketReason::HR_SocketClose, ""); }
    int64_t HeldBytes() const { return document_.HeldSize(); }

    std::vector<TEvent> events;
    int monitorCalls = 0;
    std::function<void()> onMonitor;

private:
    net::TBlockSocket socket_;
    TReleasingDocument document_;
};

class DownloadWorker : public ::testing::Test {
protected:
    DownloadWorker() { owner.SetDownloadDest(dir.Path()); }
    std::string File(const std::string& name) const { return dir.File(name); }

    TempDir dir;
    TNexoDownload owner;
};

TEST_F(DownloadWorker, FreshFileIsCreatedFilledAndRenamed) {
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    EXPECT_EQ(worker.DownloadStatus(), TDownloadStatus::stNone);
    EXPECT_EQ(worker.BytesResumed(), 0);
    EXPECT_EQ(ReadFile(File("x.zip.part")), "");

    worker.Reply(200, 10);
    worker.Receive("01234");
    EXPECT_EQ(worker.DownloadStatus(), TDownloadStatus::stDownload);
    worker.Receive("56789");
    worker.Close();

    EXPECT_TRUE(worker.Finished());
    EXPECT_EQ(ReadFile(File("x.zip")), "0123456789");
    EXPECT_FALSE(std::filesystem::exists(File("x.zip.part")));
    ASSERT_EQ(worker.events.size(), 2u);
    EXPECT_EQ(worker.events[0].Reason, THookSocketReason::HR_ReadCount);  // once per transfer
    EXPECT_EQ(worker.events[0].ToDownload, 10);
    EXPECT_EQ(worker.events[0].Downloaded, 0);
    EXPECT_EQ(worker.events[1].Reason, THookSocketReason::HR_SocketClose);
    EXPECT_EQ(worker.events[1].Downloaded, 10);
    EXPECT_EQ(worker.monitorCalls, 2);
}

TEST_F(DownloadWorker, PartialFileIsResumedAndAnExistingFinalFileReplaced) {
    WriteFile(File("x.zip.part"), std::string(1000, 'a'));
    WriteFile(File("x.zip"), "old version");
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    EXPECT_EQ(worker.DownloadStatus(), TDownloadStatus::stResume);
    EXPECT_EQ(worker.BytesResumed(), 1000);

    worker.Reply(206, 500);
    worker.Receive(std::string(500, 'b'));
    ASSERT_FALSE(worker.events.empty());
    EXPECT_EQ(worker.events[0].ToDownload, 1500);
    EXPECT_EQ(worker.events[0].Downloaded, 1000);
    worker.Close();

    EXPECT_EQ(ReadFile(File("x.zip")), std::string(1000, 'a') + std::string(500, 'b'));
    EXPECT_FALSE(std::filesystem::exists(File("x.zip.part")));
}

TEST_F(DownloadWorker, ResumedReplyOfUnreportedSizeIsFinished) {
    WriteFile(File("x.zip.part"), "abc");
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(206, 0);
    worker.Receive("def");
    worker.Close();
    EXPECT_EQ(worker.DownloadStatus(), TDownloadStatus::stResume);
    EXPECT_TRUE(worker.Finished());
    EXPECT_EQ(ReadFile(File("x.zip")), "abcdef");
}

TEST_F(DownloadWorker, ResumeAnsweredWithTheWholeFileStartsOver) {
    WriteFile(File("x.zip.part"), "stale-bytes");
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(200, 6);
    worker.Receive("whole!");
    EXPECT_EQ(worker.BytesResumed(), 0);
    EXPECT_EQ(worker.events.at(0).ToDownload, 6);
    worker.Close();
    EXPECT_EQ(ReadFile(File("x.zip")), "whole!");
}

TEST_F(DownloadWorker, UnknownSizeRaisesNoReadCountAndStillFinishes) {
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(200, 0);
    worker.Receive("abc");
    worker.Receive("def");
    EXPECT_EQ(worker.DownloadStatus(), TDownloadStatus::stNone);
    worker.Close();
    ASSERT_EQ(worker.events.size(), 1u);
    EXPECT_EQ(worker.events[0].Reason, THookSocketReason::HR_SocketClose);
    EXPECT_EQ(ReadFile(File("x.zip")), "abcdef");
}

TEST_F(DownloadWorker, ErrorReplyNeverReachesThePartialFile) {
    WriteFile(File("x.zip.part"), "good");
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(404, 9);
    worker.Receive("not found");
    worker.Close();
    EXPECT_FALSE(worker.Finished());
    EXPECT_FALSE(std::filesystem::exists(File("x.zip")));
    EXPECT_EQ(ReadFile(File("x.zip.part")), "good");
    EXPECT_EQ(worker.HeldBytes(), 0);
}

TEST_F(DownloadWorker, ReplyCutShortKeepsThePartialFileForTheNextStart) {
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(200, 100);
    worker.Receive("first");
    worker.Receive("second");
    // The client closes after a receive error: the socket still holds it.
    net::TBlockSocket failing;
    failing.CanRead(0);  // no OS socket: records an error
    ASSERT_NE(failing.LastError(), 0);
    worker.SocketStatus(&failing, THookSocketReason::HR_SocketClose, "");
    EXPECT_FALSE(worker.Finished());
    EXPECT_EQ(ReadFile(File("x.zip.part")), "firstsecond");
    EXPECT_FALSE(std::filesystem::exists(File("x.zip")));
}

TEST_F(DownloadWorker, StopClosesTheSocketAtTheNextBlockAndDeletesThePartialFile) {
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(200, 100);
    worker.onMonitor = [&] { worker.SetDownloadStatus(TDownloadStatus::stStop); };
    worker.Receive("abc");  // the stop is requested from this block's event
    worker.onMonitor = nullptr;
    worker.Receive("def");  // this block closes the socket
    EXPECT_FALSE(std::filesystem::exists(File("x.zip.part")));
    ASSERT_FALSE(worker.events.empty());
    EXPECT_EQ(worker.events.back().Reason, THookSocketReason::HR_SocketClose);
    // The client's own close afterwards finds nothing left to do.
    worker.Close();
    EXPECT_EQ(worker.events.back().Reason, THookSocketReason::HR_SocketClose);
    EXPECT_FALSE(worker.Finished());
}

TEST_F(DownloadWorker, PauseKeepsWhatArrived) {
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(206, 100);
    worker.Receive("abc");
    worker.SetDownloadStatus(TDownloadStatus::stPause);
    worker.Receive("def");
    worker.Close();
    EXPECT_EQ(worker.DownloadStatus(), TDownloadStatus::stPause);
    EXPECT_EQ(ReadFile(File("x.zip.part")), "abc");
    EXPECT_FALSE(worker.Finished());
}

TEST_F(DownloadWorker, MemoryHoldsOnlyWhatIsNotOnDiskYet) {
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(200, 64 * 1000);
    const std::string block(1000, 'z');
    for (int i = 0; i < 64; ++i) {
        worker.Receive(block);
        EXPECT_LE(worker.HeldBytes(), 1000);
    }
    worker.Close();
    EXPECT_EQ(std::filesystem::file_size(File("x.zip")), 64000u);
}

TEST_F(DownloadWorker, FinalNameThatCannotBeReplacedIsReported) {
    std::filesystem::create_directories(File("x.zip") + "/inside");
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    worker.Reply(200, 1);
    worker.Receive("a");
    try {
        worker.Close();
        FAIL() << "no error";
    } catch (const ENexoDownloadError& error) {
        EXPECT_EQ(error.Message(), "Não foi possível renomear o arquivo: " + worker.FilePart() + " para " +
                                       worker.FinalFileName());
    }
}

TEST_F(DownloadWorker, OwnerAndStatusEvent) {
    try {
        TNexoDownloadClass orphan(nullptr);
        FAIL() << "no error";
    } catch (const ENexoDownloadError& error) {
        EXPECT_EQ(error.Message(), "Essa Classe deve ser instanciada por TNexoDownload");
    }
    TScriptedWorker worker(&owner);
    TNexoDownloadClass* sender = nullptr;
    TDownloadStatus seen = TDownloadStatus::stNone;
    worker.OnDownloadStatus = [&](TNexoDownloadClass* s, TDownloadStatus status) {
        sender = s;
        seen = status;
    };
    worker.SetDownloadStatus(TDownloadStatus::stPause);
    EXPECT_EQ(sender, &worker);
    EXPECT_EQ(seen, TDownloadStatus::stPause);
}

}  // namespace
}  // namespace lunaro::download

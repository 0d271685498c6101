// The worker base driven directly through its two socket hooks, the way a
// protocol client drives it, for what a real server cannot easily provoke.
// Whole transfers against nginx are in download_component_peer_test.cpp.
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
using testkit::ReadFile;
using testkit::TempDir;
using testkit::WriteFile;

// A worker with a socket that is never connected: the test plays the
// protocol client, reporting reads and closes and filling the document.
class TScriptedWorker : public TNexoDownloadClass {
public:
    explicit TScriptedWorker(TNexoDownload* owner) : TNexoDownloadClass(owner) {}

    void Open(const std::string& name) {
        SetFilePart(name);
        OpenFilePart();
    }
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

private:
    net::TBlockSocket socket_;
    TReleasingDocument document_;
    TSocketAttachment attachment_{*this, socket_, document_};
};

class DownloadWorker : public ::testing::Test {
protected:
    DownloadWorker() { owner.SetDownloadDest(dir.Path()); }
    std::string File(const std::string& name) const { return dir.File(name); }

    TempDir dir;
    TNexoDownload owner;
};

TEST_F(DownloadWorker, ErrorReplyToAResumeLeavesThePartialFileAsItWas) {
    WriteFile(File("x.zip.part"), "good");
    TScriptedWorker worker(&owner);
    worker.Open("x.zip.part");
    EXPECT_EQ(worker.DownloadStatus(), TDownloadStatus::stResume);
    worker.Reply(416, 14);
    worker.Receive("not satisfiable");
    worker.Close();
    EXPECT_FALSE(worker.Finished());
    EXPECT_FALSE(std::filesystem::exists(File("x.zip")));
    EXPECT_EQ(ReadFile(File("x.zip.part")), "good");
    EXPECT_EQ(worker.HeldBytes(), 0);
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

// A worker lent a socket that outlives it, as a client kept by its caller
// would be: once the worker is gone a late report must not reach it.
class TBorrowingWorker : public TNexoDownloadClass {
public:
    TBorrowingWorker(TNexoDownload* owner, net::TBlockSocket& socket)
        : TNexoDownloadClass(owner), attachment_(*this, socket, document_) {}

private:
    TReleasingDocument document_;
    TSocketAttachment attachment_;
};

TEST(DownloadWorkerAttachment, HooksLiveExactlyAsLongAsTheWorker) {
    TNexoDownload owner;
    net::TBlockSocket socket;
    std::vector<THookSocketReason> reported;
    owner.SetOnHookStatus([&](net::TBlockSocket*, THookSocketReason reason, int32_t, int32_t) {
        reported.push_back(reason);
    });
    {
        TBorrowingWorker worker(&owner, socket);
        ASSERT_TRUE(socket.OnStatus);
        socket.OnStatus(&socket, THookSocketReason::HR_Connect, "");
    }
    EXPECT_FALSE(socket.OnStatus);
    EXPECT_FALSE(socket.OnMonitor);
    EXPECT_EQ(reported, std::vector<THookSocketReason>{THookSocketReason::HR_Connect});
}

TEST(DownloadWorkerOwner, AWorkerNeedsItsComponent) {
    try {
        TNexoDownloadClass orphan(nullptr);
        FAIL() << "no error";
    } catch (const ENexoDownloadError& error) {
        EXPECT_EQ(error.Message(), "Essa Classe deve ser instanciada por TNexoDownload");
    }
}

}  // namespace
}  // namespace lunaro::download

// The operation object's lifecycle: settings snapshot, cancel and
// keep-alive, and the clean-up list.
#include <thread>

#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "platform/files.h"
#include "tests/archive/core_fixture.h"
#include "tests/support/test_support.h"

namespace lunaro::archive {
namespace {

using testkit::CoreTest;

TEST_F(CoreTest, ConstructionAndStartUpValues) {
    EXPECT_FALSE(core.Busy());
    EXPECT_EQ(core.ErrCode(), -1);
    EXPECT_TRUE(core.Snapshot().Unattended);
    EXPECT_EQ(core.Snapshot().Handle, kApplicationWindowHandle);
    EXPECT_EQ(core.Snapshot().HowToDelete, TZKDeleteOpts::htdAllowUndo);
    EXPECT_EQ(core.Verbosity(), 0);

    master.Settings.MaxVolumeSizeKb = 10;
    master.Settings.MaxVolumeSize = 5;
    master.Settings.Verbose = true;
    master.Settings.Encoding = TZKEncodingOpts::zeoUTF8;
    master.Settings.Encoding_CP = 850;
    master.Settings.FSpecArgs = {"*.*"};
    master.Settings.UseDirOnlyEntries = true;
    core.SetCancel(msg::UserAbort);
    core.AnswerAll = true;
    core.StartUp();
    EXPECT_TRUE(core.Busy());
    EXPECT_EQ(core.ErrCode(), 0);
    EXPECT_EQ(core.Cancel(), 0);
    EXPECT_FALSE(core.AnswerAll);
    EXPECT_EQ(core.Snapshot().MaxVolumeSize, 10240);
    EXPECT_FALSE(core.Snapshot().Unattended);
    EXPECT_EQ(core.Verbosity(), 1);
    EXPECT_EQ(core.encodings.back(), TZKEncodingOpts::zeoUTF8);
    EXPECT_EQ(core.codePages.back(), 850u);
    EXPECT_EQ(core.FSpecArgs, std::vector<std::string>{"*.*"});
    EXPECT_FALSE(core.Snapshot().IgnoreDirOnly);
    EXPECT_FALSE(core.Snapshot().NotMainTask);

    master.Settings.MaxVolumeSizeKb = 0;
    master.Settings.Trace = true;
    core.StartUp();
    EXPECT_EQ(core.Snapshot().MaxVolumeSize, 5);
    EXPECT_EQ(core.Verbosity(), 2);

    core.Clear();
    EXPECT_FALSE(core.Snapshot().Unattended);
    EXPECT_EQ(core.Verbosity(), 0);
    EXPECT_TRUE(core.FSpecArgs.empty());
    EXPECT_EQ(core.encodings.back(), TZKEncodingOpts::zeoAuto);

    EXPECT_EQ(core.NextCheckNo(), 1u);
    EXPECT_EQ(core.NextCheckNo(), 2u);
    core.Kill();
    EXPECT_EQ(core.Cancel(), msg::UserCanceled);
}

TEST_F(CoreTest, KeepAlivePumpsOnlyOnTheMainThreadWithoutATerminateHandler) {
    int ticks = 0;
    master.OnTick = [&](TZKMaster&) { ++ticks; };
    core.StartUp();
    EXPECT_FALSE(core.KeepAlive());
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(ui->processMessagesCalls, 1);

    // Started from a second thread: never pumps, even with NotMainThread false.
    std::thread([&] {
        core.StartUp();
        core.KeepAlive();
    }).join();
    EXPECT_TRUE(core.Snapshot().NotMainTask);
    EXPECT_EQ(ui->processMessagesCalls, 1);

    master.Settings.NotMainThread = true;
    core.StartUp();
    core.KeepAlive();
    EXPECT_EQ(ui->processMessagesCalls, 1);

    master.Settings.NotMainThread = false;
    core.StartUp();
    bool seen = true;
    master.OnCheckTerminate = [&](TZKMaster&, bool& abort) {
        seen = abort;
        abort = ticks >= 6;
    };
    EXPECT_FALSE(core.KeepAlive());
    EXPECT_FALSE(seen);
    EXPECT_EQ(ui->processMessagesCalls, 1);  // the handler replaces pumping
    core.KeepAlive();
    core.KeepAlive();
    EXPECT_EQ(core.Cancel(), msg::UserCanceled);
}

TEST_F(CoreTest, CheckCancelRaisesTheCancelCode) {
    core.StartUp();
    EXPECT_NO_THROW(core.CheckCancel());
    core.SetCancel(msg::UserAbort);
    try {
        core.CheckCancel();
        FAIL() << "no exception";
    } catch (const EZipKeeper& e) {
        EXPECT_EQ(e.ResId(), msg::UserAbort);
        EXPECT_EQ(e.Message(), "User Abort");
        EXPECT_TRUE(e.DisplayMsg());
    }
}

TEST_F(CoreTest, CleanupListAfterFailedAndSuccessfulOperations) {
    lunaro::testkit::TempDir dir;
    auto make = [&](const std::string& name) {
        lunaro::testkit::WriteFile(dir.File(name), "x");
        return dir.File(name);
    };
    const std::string folder = dir.File("sub") + "/";
    for (int good = 0; good < 2; ++good) {
        SCOPED_TRACE(good ? "successful" : "failed");
        core.StartUp();
        platform::ForceDirectories(folder);
        core.AddCleanupFile(folder, true);  // registered first, removed last
        const std::string inside = make("sub/inner.tmp");
        core.AddCleanupFile(inside, true);
        const std::string onFailure = make("temp.zip");
        core.AddCleanupFile(onFailure, false);
        const std::string kept = make("kept.zip");
        core.AddCleanupFile(kept, false);
        EXPECT_TRUE(core.RemoveFileCleanup(dir.File("KEPT.ZIP")));
        EXPECT_FALSE(core.RemoveFileCleanup(dir.File("other.zip")));
        core.AddCleanupFile(dir.File("never-created.tmp"), true);
        core.Done(good == 1);
        EXPECT_FALSE(core.Busy());
        EXPECT_FALSE(platform::FileExists(inside));
        EXPECT_FALSE(platform::DirectoryExists(folder));
        EXPECT_EQ(platform::FileExists(onFailure), good == 1);
        EXPECT_TRUE(platform::FileExists(kept));
        EXPECT_TRUE(core.CleanupList().Entries().empty());
    }
}

TEST(CleanupList, ExpandsRelativeNamesAndKeepsWindowsPaths) {
    EXPECT_EQ(ExpandedFileName("c:\\Lunaro\\x.tmp"), "c:\\Lunaro\\x.tmp");
    const std::string expanded = ExpandedFileName("a/../b.tmp");
    ASSERT_FALSE(expanded.empty());
    EXPECT_EQ(expanded.front(), '/');
    EXPECT_EQ(expanded.substr(expanded.size() - 6), "/b.tmp");
}

}  // namespace
}  // namespace lunaro::archive

// The archive component over the stand-in engines: the road the installer
// takes, its failure cases, the admission frame and the deferred settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/driver/dll_loader.h"
#include "archive/messages/message_ids.h"
#include "archive/trash_can.h"
#include "archive/zip_keeper.h"
#include "platform/ui_service.h"
#include "tests/support/test_support.h"
#include "tests/support/zip_builder.h"

namespace lunaro::archive {
namespace {

using lunaro::testkit::ZipBuilder;

std::string FakeEngineDir(const std::string& variant) { return std::string(LUNARO_FAKE_ENGINES) + "/" + variant; }

class ZipKeeperTest : public ::testing::Test {
protected:
    ZipKeeperTest() {
        ui = std::make_shared<platform::ScriptedUi>();
        previous_ = platform::SetUi(ui);
        keeper.OnMessage = [this](TZKMaster&, int code, const std::string&) { events.push_back("msg " + std::to_string(code)); };
        keeper.OnStateChange = [this](TZKMaster&, TZKStates state, bool&) {
            events.push_back("state " + std::to_string(static_cast<int>(state)));
        };
        keeper.OnDirUpdate = [this](TZKMaster&) { events.push_back("dir"); };
        keeper.Settings.Unattended = true;
        keeper.Settings.Password = "x";  // no "possibly incomplete" warning in the event lists
        keeper.Settings.DLLDirectory = FakeEngineDir("good");
    }
    ~ZipKeeperTest() override { platform::SetUi(std::move(previous_)); }

    // An archive of two entries; the stand-in engine answers the number
    // after "result" in its name.
    std::string Archive(const std::string& name = "road_result2.zip") {
        const std::string path = temp.File(name);
        lunaro::testkit::WriteFile(path, ZipBuilder().AddFile("a.ini", "[A]\n").AddFile("b.txt", "b").Build());
        return path;
    }
    // The installer's road, up to Extract.
    int Road(const std::string& archive, const std::string& destination) {
        keeper.SetZipFileName(archive);
        keeper.SetDLL_Load(true);
        keeper.Settings.FSpecArgs.push_back("*.*");
        keeper.Settings.ExtrBaseDir = destination;
        keeper.Settings.ExtrOptions.Include(TZKExtrOptsEnum::ExtrOverWrite);
        return keeper.Extract();
    }

    lunaro::testkit::TempDir temp;
    TZKDLLLoader loader;
    TZipKeeper keeper{&loader};
    std::shared_ptr<platform::ScriptedUi> ui;
    std::vector<std::string> events;

private:
    std::shared_ptr<platform::UiService> previous_;
};

TEST_F(ZipKeeperTest, TheRoadRunsTheEngineInOneFrameAndConsumesThePattern) {
    const std::string archive = Archive();
    keeper.SetZipFileName(archive);
    keeper.SetDLL_Load(true);
    EXPECT_TRUE(keeper.DLL_Load());
    EXPECT_EQ(keeper.Count(), 2);
    events.clear();
    keeper.Settings.FSpecArgs.push_back("*.*");
    keeper.Settings.ExtrBaseDir = temp.Path();
    EXPECT_EQ(keeper.Extract(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"state 2", "state 1"}));
    EXPECT_EQ(keeper.SuccessCnt(), 2);
    EXPECT_TRUE(keeper.Settings.FSpecArgs.empty());
    // The run took a use of its own and gave it back: the engine stays
    // loaded until DLL_Load is cleared.
    EXPECT_TRUE(keeper.DLL_Load());
    EXPECT_EQ(loader.UseCount(keeper.Operation()), 1);
    keeper.SetDLL_Load(false);
    EXPECT_FALSE(keeper.DLL_Load());
    EXPECT_EQ(loader.UseCount(keeper.Operation()), 0);
    EXPECT_FALSE(ui->waitCursor);
}

TEST_F(ZipKeeperTest, AMissingEngineIsShownTwiceAndNothingRuns) {
    keeper.Settings.Unattended = false;
    keeper.Settings.DLLDirectory = temp.Path();
    EXPECT_EQ(Road(Archive(), temp.Path()), msg::EngineLoadFailed);
    EXPECT_FALSE(keeper.DLL_Load());
    EXPECT_EQ(keeper.SuccessCnt(), 0);
    ASSERT_EQ(ui->shown.size(), 2u);
    for (const auto& shown : ui->shown) EXPECT_EQ(shown.dialog.text.rfind("Failed to load ", 0), 0u) << shown.dialog.text;
    EXPECT_NE(ui->shown[0].dialog.text.find("ZipEngine190.dll"), std::string::npos);
    // The engine never ran, so the file patterns stay; the next road adds
    // it again, which selects the same entries.
    EXPECT_EQ(keeper.Settings.FSpecArgs, std::vector<std::string>{"*.*"});
}

TEST_F(ZipKeeperTest, AnEngineOfAnotherVersionIsRefused) {
    keeper.Settings.DLLDirectory = FakeEngineDir("v191");
    EXPECT_EQ(Road(Archive(), temp.Path()), msg::EngineOldOrCorrupt);
    EXPECT_NE(keeper.ErrMessage().find("It is old or corrupt"), std::string::npos);
    EXPECT_EQ(keeper.SuccessCnt(), 0);
}

TEST_F(ZipKeeperTest, ArchiveAndDestinationFailuresStopBeforeTheEngine) {
    keeper.Settings.Unattended = false;
    // Missing archive: recorded without a box, and again at Extract.
    EXPECT_EQ(Road(temp.File("absent_result2.zip"), temp.Path()), msg::InputFileMissing);
    EXPECT_EQ(keeper.ErrMessage(), "Input file does not exist");
    EXPECT_TRUE(ui->shown.empty());
    EXPECT_EQ(keeper.SuccessCnt(), 0);

    // Not a zip: shown.
    const std::string junk = temp.File("junk_result2.zip");
    lunaro::testkit::WriteFile(junk, std::string(300, 'j'));
    keeper.SetZipFileName(junk);
    EXPECT_EQ(keeper.ErrCode(), msg::NotAZipArchive);
    EXPECT_EQ(ui->shown.size(), 1u);

    // Destination missing.
    keeper.Settings.Unattended = true;
    keeper.Settings.FSpecArgs.clear();
    EXPECT_EQ(Road(Archive(), temp.File("nowhere")), msg::ExtractDirMustExist);
    EXPECT_NE(keeper.ErrMessage().find("nowhere/' must exist"), std::string::npos) << keeper.ErrMessage();
    EXPECT_EQ(keeper.Settings.FSpecArgs, std::vector<std::string>{"*.*"});
}

TEST_F(ZipKeeperTest, ACallWhileBusyIsRefusedAndMarked) {
    int inner = -1;
    keeper.OnDirUpdate = [&](TZKMaster&) {
        EXPECT_TRUE(ui->waitCursor);
        inner = keeper.Extract();
    };
    keeper.SetZipFileName(Archive());
    EXPECT_EQ(inner & kReentryErrorBit, kReentryErrorBit);
    EXPECT_EQ(keeper.ErrCode() & kReentryErrorBit, kReentryErrorBit);
    EXPECT_EQ(TCustomZipKeeper::TheErrorCode(keeper.ErrCode()), 0);
    EXPECT_EQ(keeper.ErrMessage().rfind("Busy + ", 0), 0u);
    EXPECT_FALSE(ui->waitCursor);
    // The next admitted operation clears the mark.
    keeper.OnDirUpdate = nullptr;
    EXPECT_EQ(keeper.List(), 0);
}

TEST_F(ZipKeeperTest, InactiveComponentRefusesAndDeactivatesAfterTheRunningOperation) {
    keeper.OnDirUpdate = [&](TZKMaster&) { keeper.SetActive(false); };
    keeper.SetZipFileName(Archive());
    EXPECT_EQ(events, (std::vector<std::string>{"state 2", "state 1", "state 0"}));
    EXPECT_FALSE(keeper.Active());
    EXPECT_EQ(keeper.Extract(), msg::NotActive);
    EXPECT_EQ(keeper.ErrMessage(), "not Active");
    EXPECT_EQ(keeper.Count(), 0);
}

TEST_F(ZipKeeperTest, SettingsWhileLoadingAreAppliedOnceByLoaded) {
    keeper.BeginLoading();
    keeper.SetZipFileName(Archive());
    keeper.SetDLL_Load(true);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(loader.UseCount(keeper.Operation()), 0);
    keeper.Loaded();
    EXPECT_EQ(events, (std::vector<std::string>{"state 2", "dir", "state 1"}));
    EXPECT_EQ(keeper.Count(), 2);
    EXPECT_TRUE(keeper.DLL_Load());

    // Setting the same name again reads nothing.
    events.clear();
    keeper.SetZipFileName(keeper.ZipFileName());
    EXPECT_TRUE(events.empty());
}

TEST_F(ZipKeeperTest, SettingsOfAnInactiveComponentWaitForActivation) {
    keeper.SetActive(false);
    keeper.SetZipFileName(Archive());
    EXPECT_EQ(keeper.Count(), 0);
    events.clear();
    keeper.SetActive(true);
    EXPECT_EQ(events, (std::vector<std::string>{"state 1", "state 2", "dir", "state 1"}));
    EXPECT_EQ(keeper.Count(), 2);
}

TEST_F(ZipKeeperTest, NoCursorFromTheStateHandlerKeepsTheCursor) {
    bool sawWait = false;
    keeper.OnStateChange = [&](TZKMaster&, TZKStates, bool& noCursor) { noCursor = true; };
    keeper.OnDirUpdate = [&](TZKMaster&) { sawWait = ui->waitCursor; };
    keeper.SetZipFileName(Archive());
    EXPECT_FALSE(sawWait);
}

TEST_F(ZipKeeperTest, LookupsFollowTheWildcardMatcher) {
    keeper.SetZipFileName(Archive());
    EXPECT_EQ(keeper.IndexOf("*.txt"), 1);
    EXPECT_EQ(keeper.IndexOf("*.exe"), -1);
    int idx = -1;
    ASSERT_NE(keeper.Find("*", idx), nullptr);
    EXPECT_EQ(idx, 0);
    ASSERT_NE(keeper.Find("*", idx), nullptr);
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(keeper.Find("*", idx), nullptr);
    EXPECT_EQ(idx, -1);
    ASSERT_NE(keeper.DirEntry(1), nullptr);
    EXPECT_EQ(keeper.DirEntry(1)->FileName(), "b.txt");
    EXPECT_EQ(keeper.DirEntry(2), nullptr);
    keeper.SetPasswordReqCount(20);
    EXPECT_EQ(keeper.PasswordReqCount(), 15u);
}

TEST_F(ZipKeeperTest, WhatIsNotBuiltSaysItIsNotAvailable) {
    keeper.SetZipFileName(Archive());
    keeper.Settings.FSpecArgs = {"*.txt"};
    for (int code : {keeper.ConvertToSFX(), keeper.WriteSpan("a", "b"), keeper.AddZippedFiles(&keeper),
                     keeper.IsZipSFX("x.exe")}) {
        EXPECT_EQ(code, kOperationNotAvailable);
    }
    EXPECT_EQ(keeper.ErrMessage(), "IsZipSFX is not available: this build makes and reads no self-extracting archives");
    EXPECT_EQ(keeper.Settings.FSpecArgs, std::vector<std::string>{"*.txt"});
    EXPECT_EQ(keeper.CopyZippedFiles(nullptr, false), msg::NoDestination);
    EXPECT_EQ(keeper.Count(), 2);  // the archive is untouched
}

// The stand-in engine that copies LUNARO_TEST_REPLACEMENT over the archive,
// as a run that changed it would.
class ZipKeeperWriteTest : public ZipKeeperTest {
protected:
    ZipKeeperWriteTest() {
        keeper.Settings.DLLDirectory = FakeEngineDir("records");
        replacement = temp.File("replacement.zip");
        lunaro::testkit::WriteFile(replacement,
                                   ZipBuilder().AddFile("x", "1").AddFile("y", "2").AddFile("z", "3").Build());
        ::setenv("LUNARO_TEST_REPLACEMENT", replacement.c_str(), 1);
    }
    ~ZipKeeperWriteTest() override { ::unsetenv("LUNARO_TEST_REPLACEMENT"); }
    std::string replacement;
};

TEST_F(ZipKeeperWriteTest, AWriteRunsInOneFrameAndTheDirectoryShowsTheNewArchive) {
    const std::string archive = Archive("w_result3.zip");
    keeper.SetZipFileName(archive);
    ASSERT_EQ(keeper.Count(), 2);
    events.clear();
    keeper.Settings.FSpecArgs = {"b.txt"};
    EXPECT_EQ(keeper.Delete(), 0) << keeper.ErrMessage();
    EXPECT_EQ(events, (std::vector<std::string>{"state 2", "dir", "state 1"}));
    EXPECT_EQ(keeper.SuccessCnt(), 3);
    EXPECT_EQ(keeper.Count(), 3);
    ASSERT_NE(keeper.DirEntry(2), nullptr);
    EXPECT_EQ(keeper.DirEntry(2)->FileName(), "z");
    EXPECT_TRUE(keeper.Settings.FSpecArgs.empty());

    // A stream or a rename names its own entries; the caller's stay.
    keeper.Settings.FSpecArgs = {"keep"};
    keeper.ZipStream()->Write("data", 4);
    EXPECT_EQ(keeper.AddStreamToFile("s.txt", 0, 0), 0) << keeper.ErrMessage();
    EXPECT_EQ(keeper.Rename({{"x", "w"}}, 0), 0) << keeper.ErrMessage();
    EXPECT_EQ(keeper.Settings.FSpecArgs, std::vector<std::string>{"keep"});

    // A new archive is made.
    const std::string fresh = temp.File("new_result3.zip");
    keeper.SetZipFileName(fresh);
    EXPECT_EQ(keeper.ErrCode(), msg::InputFileMissing);
    keeper.Settings.FSpecArgs = {"*.ini"};
    EXPECT_EQ(keeper.Add(), 0) << keeper.ErrMessage();
    EXPECT_EQ(keeper.Count(), 3);
}

TEST_F(ZipKeeperWriteTest, AWriteRefusedOrStoppedEarlyLeavesArchiveAndPatterns) {
    const std::string archive = Archive("w_result3.zip");
    const std::string before = lunaro::testkit::ReadFile(archive);
    int inner = -1;
    keeper.OnDirUpdate = [&](TZKMaster&) { inner = keeper.Delete(); };
    keeper.Settings.FSpecArgs = {"*.txt"};
    keeper.SetZipFileName(archive);
    EXPECT_EQ(inner & kReentryErrorBit, kReentryErrorBit);
    EXPECT_EQ(keeper.Settings.FSpecArgs, std::vector<std::string>{"*.txt"});
    keeper.OnDirUpdate = nullptr;

    keeper.Settings.DLLDirectory = temp.Path();  // no engine there
    EXPECT_EQ(keeper.Delete(), msg::EngineLoadFailed);
    EXPECT_EQ(keeper.Settings.FSpecArgs, std::vector<std::string>{"*.txt"});
    EXPECT_EQ(keeper.Rename({{"a.ini", "../a.ini"}}, 0), msg::InvalidFileName);

    keeper.SetActive(false);
    EXPECT_EQ(keeper.Add(), msg::NotActive);
    EXPECT_EQ(keeper.AddStreamToFile("s.txt", 0, 0), msg::NotActive);
    EXPECT_EQ(keeper.Settings.FSpecArgs, std::vector<std::string>{"*.txt"});
    EXPECT_EQ(lunaro::testkit::ReadFile(archive), before);
}

TEST_F(ZipKeeperTest, EraseFileMovesToTheTrashSoItCanBeRestored) {
    ::setenv("XDG_DATA_HOME", temp.File("data").c_str(), 1);
    const std::string doomed = temp.File("doomed file.txt");
    lunaro::testkit::WriteFile(doomed, "keep me");
    EXPECT_EQ(keeper.EraseFile(doomed, TZKDeleteOpts::htdAllowUndo), 0);
    EXPECT_FALSE(std::filesystem::exists(doomed));
    const std::string trash = TrashFolder();
    EXPECT_EQ(lunaro::testkit::ReadFile(trash + "/files/doomed file.txt"), "keep me");
    const std::string info = lunaro::testkit::ReadFile(trash + "/info/doomed file.txt.trashinfo");
    EXPECT_NE(info.find("[Trash Info]\nPath=/"), std::string::npos);
    EXPECT_NE(info.find("doomed%20file.txt\nDeletionDate="), std::string::npos);

    // A second file of the same name gets an entry of its own.
    lunaro::testkit::WriteFile(doomed, "second");
    EXPECT_EQ(keeper.EraseFile(doomed, TZKDeleteOpts::htdAllowUndo), 0);
    EXPECT_EQ(lunaro::testkit::ReadFile(trash + "/files/doomed file.txt"), "keep me");
    EXPECT_EQ(keeper.EraseFile(doomed, TZKDeleteOpts::htdFinal), -1);
    ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace lunaro::archive

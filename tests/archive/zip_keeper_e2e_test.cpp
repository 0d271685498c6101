// The archive component's road and its stream extraction with the engine
// this tree builds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "archive/zip_keeper.h"
#include "platform/ui_service.h"
#include "tests/support/test_support.h"
#include "tests/support/zip_builder.h"

namespace lunaro::archive {
namespace {

class ZipKeeperWithEngine : public ::testing::Test {
protected:
    ZipKeeperWithEngine() {
        previous_ = platform::SetUi(std::make_shared<platform::ScriptedUi>());
        keeper.Settings.Unattended = true;
        keeper.Settings.DLLDirectory = std::filesystem::path(LUNARO_REAL_ENGINE).parent_path().string() + "/";
        archive = temp.File("pkg.zip");
        lunaro::testkit::WriteFile(archive, lunaro::testkit::ZipBuilder()
                                                .AddFile("Config.ini", "[A]\r\nB=1\r\n")
                                                .AddFile("sub/deep.txt", "deep")
                                                .Build());
    }
    ~ZipKeeperWithEngine() override { platform::SetUi(std::move(previous_)); }

    lunaro::testkit::TempDir temp;
    TZipKeeper keeper;
    std::string archive;

private:
    std::shared_ptr<platform::UiService> previous_;
};

TEST_F(ZipKeeperWithEngine, TheRoadExtractsFlattenedAndOverwrites) {
    const std::string out = temp.File("out");
    std::filesystem::create_directories(out);
    lunaro::testkit::WriteFile(out + "/deep.txt", "old");
    keeper.SetZipFileName(archive);
    keeper.SetDLL_Load(true);
    keeper.Settings.FSpecArgs.push_back("*.*");
    keeper.Settings.ExtrBaseDir = out;
    keeper.Settings.ExtrOptions.Include(TZKExtrOptsEnum::ExtrOverWrite);
    EXPECT_EQ(keeper.Extract(), 0) << keeper.ErrMessage();
    EXPECT_EQ(keeper.SuccessCnt(), 2);
    keeper.SetDLL_Load(false);
    EXPECT_EQ(lunaro::testkit::ReadFile(out + "/deep.txt"), "deep");
    EXPECT_EQ(lunaro::testkit::ReadFile(out + "/Config.ini"), "[A]\r\nB=1\r\n");
    EXPECT_FALSE(std::filesystem::exists(out + "/sub"));
}

TEST_F(ZipKeeperWithEngine, ExtractFileToStreamHandsBackTheOneEntry) {
    keeper.SetZipFileName(archive);
    platform::TStream* stream = keeper.ExtractFileToStream("sub\\deep.txt");
    ASSERT_NE(stream, nullptr) << keeper.ErrMessage();
    std::string bytes(static_cast<size_t>(stream->Size()), '\0');
    stream->Read(bytes.data(), stream->Size());
    EXPECT_EQ(bytes, "deep");
    EXPECT_EQ(keeper.ExtractFileToStream("missing.txt"), nullptr);
}

// The archive as python3's zipfile reads it: "name=bytes" per entry, or why
// it was refused.
std::string ReadByPython(const std::string& archive) {
    const std::string out = archive + ".read";
    const std::string command = "python3 -c 'import sys, zipfile\n"
                                "z = zipfile.ZipFile(sys.argv[1])\n"
                                "assert z.testzip() is None\n"
                                "print(\"\".join(i.filename + \"=\" + z.read(i).decode() + \";\" for i in z.infolist()))' '" +
                                archive + "' >'" + out + "' 2>&1";
    const int status = std::system(command.c_str());
    std::string text = lunaro::testkit::ReadFile(out);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return status == 0 ? text : "refused: " + text;
}

TEST_F(ZipKeeperWithEngine, AddRenameAndDeleteKeepTheDirectoryCurrent) {
    int updates = 0;
    keeper.OnDirUpdate = [&](TZKMaster&) { ++updates; };
    keeper.SetZipFileName(archive);
    lunaro::testkit::WriteFile(temp.File("new.txt"), "fresh");
    keeper.Settings.RootDir = temp.Path();
    keeper.Settings.AddOptions = {TZKAddOptsEnum::AddDirNames};
    keeper.Settings.FSpecArgs = {"new.txt"};
    updates = 0;
    EXPECT_EQ(keeper.Add(), 0) << keeper.ErrMessage();
    EXPECT_EQ(keeper.SuccessCnt(), 1);
    EXPECT_EQ(keeper.Count(), 3);
    EXPECT_TRUE(keeper.Settings.FSpecArgs.empty());

    EXPECT_EQ(keeper.Rename({{"sub\\deep.txt", "moved\\deep.txt"}}, 0), 0) << keeper.ErrMessage();
    EXPECT_EQ(keeper.IndexOf("moved\\deep.txt"), 1);
    EXPECT_EQ(keeper.IndexOf("sub\\deep.txt"), -1);

    keeper.Settings.FSpecArgs = {"Config.ini"};
    EXPECT_EQ(keeper.Delete(), 0) << keeper.ErrMessage();
    EXPECT_EQ(keeper.Count(), 2);
    EXPECT_EQ(updates, 3);
    EXPECT_EQ(ReadByPython(archive), "moved/deep.txt=deep;new.txt=fresh;");

    // A rename onto a name the archive has stops the run: nothing changes.
    const std::string before = lunaro::testkit::ReadFile(archive);
    EXPECT_NE(keeper.Rename({{"new.txt", "moved/deep.txt"}}, 0), 0);
    EXPECT_EQ(keeper.SuccessCnt(), 0);
    EXPECT_EQ(lunaro::testkit::ReadFile(archive), before);
    EXPECT_EQ(keeper.Count(), 2);
    EXPECT_EQ(updates, 3);
}

TEST_F(ZipKeeperWithEngine, AStreamAddedToANewArchiveComesBackWithItsDate) {
    const std::string fresh = temp.File("made.zip");
    keeper.SetZipFileName(fresh);
    const std::string payload(100000, 'p');
    keeper.ZipStream()->Write(payload.data(), static_cast<int64_t>(payload.size()));
    const uint32_t date = (uint32_t{44} << 25) | (3u << 21) | (15u << 16) | (13u << 11) | (45u << 5) | 15u;
    EXPECT_EQ(keeper.AddStreamToFile("docs\\note.txt", date, 0), 0) << keeper.ErrMessage();
    ASSERT_EQ(keeper.Count(), 1);
    EXPECT_EQ(keeper.DirEntry(0)->FileName(), "docs\\note.txt");
    EXPECT_EQ(keeper.DirEntry(0)->DateTime(), date);
    EXPECT_LT(keeper.DirEntry(0)->CompressedSize(), 1000);
    platform::TStream* back = keeper.ExtractFileToStream("docs\\note.txt");
    ASSERT_NE(back, nullptr) << keeper.ErrMessage();
    std::string bytes(static_cast<size_t>(back->Size()), '\0');
    back->Read(bytes.data(), back->Size());
    EXPECT_EQ(bytes, payload);
}

}  // namespace
}  // namespace lunaro::archive

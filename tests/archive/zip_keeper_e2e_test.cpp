// The archive component's road and its stream extraction with the engine
// this tree builds.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lunaro::archive

// The archive component's road, its stream extraction and its
// self-checking compressed streams with the engine this tree builds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "archive/messages/message_ids.h"
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

// The archive as python3's zipfile reads it: "name=bytes;" per entry, then
// "#comment" when it has one, or why it was refused.
std::string ReadByPython(const std::string& archive) {
    const std::string out = archive + ".read";
    const std::string command = "python3 -c 'import sys, zipfile\n"
                                "z = zipfile.ZipFile(sys.argv[1])\n"
                                "assert z.testzip() is None\n"
                                "print(\"\".join(i.filename + \"=\" + z.read(i).decode() + \";\" for i in z.infolist()) + (\"#\" + z.comment.decode() if z.comment else \"\"))' '" +
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

    keeper.SetZipComment("Lunaro 2026");
    EXPECT_EQ(keeper.ErrCode(), 0) << keeper.ErrMessage();
    EXPECT_EQ(ReadByPython(archive), "moved/deep.txt=deep;new.txt=fresh;#Lunaro 2026");
    EXPECT_EQ(keeper.ZipComment(), "Lunaro 2026");
    EXPECT_EQ(updates, 4);
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

std::string Bytes(platform::TStream& stream) {
    std::string bytes(static_cast<size_t>(stream.Size()), '\0');
    stream.SetPosition(0);
    stream.ReadBuffer(bytes.data(), stream.Size());
    return bytes;
}

void Fill(platform::TMemoryStream& stream, const std::string& bytes) {
    stream.Clear();
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string SampleText() {
    std::string text;
    for (int i = 0; text.size() < 300 * 1024; ++i) text += "entry " + std::to_string(i * 31 % 977) + " is fine\n";
    return text;
}

class ZipKeeperStreams : public ZipKeeperWithEngine {
protected:
    // AddStreamToStream of data: what ZipStream held, empty when it failed.
    std::string Sealed(const std::string& data) {
        Fill(input, data);
        platform::TStream* sealed = keeper.AddStreamToStream(&input);
        EXPECT_EQ(keeper.ErrCode(), 0) << keeper.ErrMessage();
        return sealed ? Bytes(*sealed) : std::string();
    }
    // ExtractStreamToStream of sealed: the data, or nullopt with ErrCode set
    // and ZipStream left empty.
    std::optional<std::string> Opened(const std::string& sealed, uint32_t outSize = 0) {
        Fill(input, sealed);
        platform::TStream* opened = keeper.ExtractStreamToStream(&input, outSize);
        if (!opened) {
            EXPECT_NE(keeper.ErrCode(), 0);
            EXPECT_EQ(keeper.ZipStream()->Size(), 0);
            return std::nullopt;
        }
        EXPECT_EQ(keeper.ErrCode(), 0);
        return Bytes(*opened);
    }

    platform::TMemoryStream input;
};

TEST_F(ZipKeeperStreams, StreamsComeBackCheckedDeflatedOrStored) {
    const std::string text = SampleText();
    const std::string deflated = Sealed(text);
    EXPECT_LT(deflated.size(), text.size() / 4);
    EXPECT_EQ(Opened(deflated, static_cast<uint32_t>(text.size())), text);
    EXPECT_EQ(Opened(Sealed("")), "");

    keeper.Settings.AddCompLevel = 0;
    const std::string stored = Sealed(text);
    ASSERT_EQ(stored.size(), 28 + text.size());
    EXPECT_TRUE(stored.substr(28) == text);
    EXPECT_EQ(Opened(stored), text);
}

TEST_F(ZipKeeperStreams, DamagedCutOrForeignStreamsAreRefused) {
    const std::string text = SampleText();
    const std::string sealed = Sealed(text);
    ASSERT_GT(sealed.size(), 100u);
    auto patched = [&](size_t at, uint64_t value, int bytes) {
        std::string copy = sealed;
        for (int i = 0; i < bytes; ++i) copy[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
        return copy;
    };
    constexpr size_t kCrcAt = 8;
    constexpr size_t kSizeAt = 12;
    EXPECT_EQ(Opened(patched(kCrcAt, 0x12345678, 4)), std::nullopt);
    EXPECT_EQ(keeper.ErrCode(), msg::CrcError);
    // A header that promises less than the data makes: nothing past it is
    // ever held, even while the run goes on.
    int64_t peak = 0;
    auto watch = [&] { peak = std::max(peak, keeper.ZipStream()->Size()); };
    keeper.OnProgress = [&](TZKMaster&, const TZKProgressDetails&) { watch(); };
    keeper.OnMessage = [&](TZKMaster&, int, const std::string&) { watch(); };
    constexpr uint64_t kPromised = 300000;
    ASSERT_GT(text.size(), kPromised);
    EXPECT_EQ(Opened(patched(kSizeAt, kPromised, 8)), std::nullopt);
    EXPECT_EQ(keeper.ErrCode(), msg::CompressedCopyError);
    EXPECT_EQ(peak, static_cast<int64_t>(kPromised));
    keeper.OnProgress = nullptr;
    keeper.OnMessage = nullptr;
    EXPECT_EQ(Opened(patched(kSizeAt, text.size() + 1, 8)), std::nullopt);
    EXPECT_EQ(keeper.ErrCode(), msg::CompressedCopyError);
    EXPECT_EQ(Opened(sealed, static_cast<uint32_t>(text.size()) - 1), std::nullopt);
    EXPECT_EQ(Opened(sealed.substr(0, sealed.size() - 1)), std::nullopt);
    EXPECT_EQ(Opened(patched(28, 0xff, 1)), std::nullopt);  // a block of the reserved type
    EXPECT_EQ(Opened(text), std::nullopt);
    EXPECT_EQ(Opened(""), std::nullopt);
    EXPECT_EQ(keeper.ExtractStreamToStream(nullptr, 0), nullptr);
    EXPECT_EQ(keeper.ErrCode(), msg::NoInputStream);
}

}  // namespace
}  // namespace lunaro::archive

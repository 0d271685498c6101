// The runs that change the archive: the command record each one hands the
// engine, the arguments and the stream the engine is answered with, what
// stops a run before the engine and which patterns a run consumes.
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "archive/messages/message_ids.h"
#include "archive/reader/file_times.h"
#include "tests/archive/driver/driver_fixture.h"
#include "tests/support/test_support.h"
#include "tests/support/zip_builder.h"

namespace lunaro::archive {
namespace {

using Opt = TZKAddOptsEnum;
using lunaro::testkit::ReadFile;
using lunaro::testkit::WriteFile;
using lunaro::testkit::ZipBuilder;

class WriteCommandTest : public testkit::DriverTest {
protected:
    uint32_t AddBits(TZKAddOpts options) {
        master.Settings.AddOptions = options;
        opr.StartUp();
        return opr.BuildAddCommand("a.zip")->fOptions;
    }
};

TEST_F(WriteCommandTest, EachAddOptionTurnsExactlyItsEngineBit) {
    // The options whose engine bit says the opposite are all off here.
    const uint32_t base = AddBits({});
    EXPECT_EQ(base, ZE_OPT_ADD | ZE_OPT_ALWAYS | ZE_OPT_NO_DIR_NAMES | ZE_OPT_NO_EMPTY_DIRS | ZE_OPT_NOT_SAFE |
                        ZE_OPT_ALLOW_UNDO);
    const std::pair<Opt, uint32_t> cases[] = {
        {Opt::AddDirNames, ZE_OPT_NO_DIR_NAMES},   {Opt::AddRecurseDirs, ZE_OPT_RECURSE},
        {Opt::AddMove, ZE_OPT_MOVE},               {Opt::AddFreshen, ZE_OPT_FRESHEN},
        {Opt::AddUpdate, ZE_OPT_UPDATE},           {Opt::AddHiddenFiles, ZE_OPT_HIDDEN},
        {Opt::AddArchiveOnly, ZE_OPT_ARCHIVE_ONLY}, {Opt::AddResetArchive, ZE_OPT_RESET_ARCHIVE},
        {Opt::AddEncrypt, ZE_OPT_ENCRYPT},         {Opt::AddEmptyDirs, ZE_OPT_NO_EMPTY_DIRS},
        {Opt::AddVolume, ZE_OPT_VOLUME},           {Opt::AddSafe, ZE_OPT_NOT_SAFE},
        {Opt::AddVersion, ZE_OPT_VERSION},         {Opt::AddNTFS, ZE_OPT_NTFS},
    };
    for (const auto& [option, bit] : cases) EXPECT_EQ(AddBits({option}) ^ base, bit) << static_cast<int>(option);
    EXPECT_EQ(AddBits({Opt::AddUpdate, Opt::AddFreshen}) ^ base, ZE_OPT_UPDATE);
    EXPECT_EQ(AddBits({Opt::AddFromDate}), base);  // a date, not a bit

    master.Settings.HowToDelete = TZKDeleteOpts::htdFinal;
    EXPECT_EQ(AddBits({}) ^ base, ZE_OPT_ALLOW_UNDO);
    master.Settings.HowToDelete = TZKDeleteOpts::htdAllowUndo;
    master.Settings.WriteOptions = {TZKWriteOptsEnum::zwoZipTime};
    EXPECT_EQ(AddBits({}) ^ base, ZE_OPT_ZIP_TIME);
}

TEST_F(WriteCommandTest, LevelEncodingAndTheFromDateReachTheRecord) {
    master.Settings.AddCompLevel = 0;
    master.Settings.Encoding = TZKEncodingOpts::zeoUTF8;
    master.Settings.EncodeAs = TZKEncodingOpts::zeoOEM;
    master.Settings.AddFrom = 45366 + (13 * 3600 + 45 * 60 + 30) / 86400.0;  // 2024-03-15 13:45:30
    opr.StartUp();
    auto rec = opr.BuildAddCommand("a.zip");
    EXPECT_EQ(rec->fLevel, 0);
    EXPECT_EQ(rec->fEncodedAs, 3u);
    EXPECT_EQ(rec->fEncodeAs, 2u);
    EXPECT_EQ(rec->fDate, 0u);  // only with AddFromDate
    EXPECT_EQ(rec->fCheck, ZE_COMMAND_CHECK);

    master.Settings.AddOptions = {Opt::AddFromDate};
    master.Settings.Encoding = TZKEncodingOpts::zeoUPath;  // adding knows only OEM and UTF-8
    opr.StartUp();
    rec = opr.BuildAddCommand("a.zip");
    EXPECT_EQ(FormatDosDateTime(rec->fDate), "2024-03-15 13:45:30");
    EXPECT_EQ(rec->fEncodedAs, 0u);

    EXPECT_EQ(FormatDosDateTime(DosDateTimeFromDateTime(36585.5)), "2000-02-29 12:00:00");
    EXPECT_EQ(FormatDosDateTime(DosDateTimeFromDateTime(45366 - 0.4 / 86400)), "2024-03-15 00:00:00");
    // Outside what a DOS date counts, the nearest end of it.
    EXPECT_EQ(FormatDosDateTime(DosDateTimeFromDateTime(100.0)), "1980-01-01 00:00:00");
    EXPECT_EQ(FormatDosDateTime(DosDateTimeFromDateTime(std::nan(""))), "1980-01-01 00:00:00");
    EXPECT_EQ(FormatDosDateTime(DosDateTimeFromDateTime(80000.0)), "2107-12-31 23:59:58");
}

TEST_F(WriteCommandTest, DeleteAndRenameCarryTheirOwnBitAndNothingOfAdding) {
    master.Settings.AddOptions = {Opt::AddEncrypt, Opt::AddRecurseDirs, Opt::AddFromDate};
    master.Settings.AddFrom = 45366;
    opr.StartUp();
    const auto del = opr.BuildDeleteCommand("a.zip");
    EXPECT_EQ(del->fOptions, ZE_OPT_DELETE | ZE_OPT_ALWAYS);
    EXPECT_EQ(del->fDate, 0u);
    EXPECT_EQ(del->fCheck, ZE_COMMAND_CHECK);
    const auto ren = opr.BuildRenameCommand("b.zip", 0x58AF6E00);
    EXPECT_EQ(ren->fOptions, ZE_OPT_RENAME | ZE_OPT_ALWAYS);
    EXPECT_EQ(ren->fDate, 0x58AF6E00u);
    EXPECT_EQ(ren->fLevel, 0);
    EXPECT_EQ(opr.DLLTargetName(), "b.zip");
}

// Runs through the stand-in engine that writes down what it was handed.
class WriteRunTest : public testkit::DriverTest {
protected:
    WriteRunTest() {
        ::setenv("LUNARO_TEST_RECORD", Record().c_str(), 1);
        archive = temp.File("result1.zip");
        WriteFile(archive, ZipBuilder().AddFile("a.txt", "alpha").Build());
        master.Settings.DLLDirectory = testkit::FakeEngineDir("records");
        master.Settings.Unattended = true;
    }
    ~WriteRunTest() override {
        ::unsetenv("LUNARO_TEST_RECORD");
        ::unsetenv("LUNARO_TEST_REPLACEMENT");
    }
    void Open(const std::string& path) {
        opr.StartUp();
        opr.Set_ZipFileName(path, TZipLoadOpts::zloSilent);
    }
    std::string Record() const { return temp.File("record.txt"); }
    // What the engine was handed; empty when it never ran.
    std::string Recorded() const {
        if (!std::filesystem::exists(Record())) return "";
        std::string text = ReadFile(Record());
        std::filesystem::remove(Record());
        return text;
    }
    bool Has(const std::string& recorded, const std::string& line) const {
        return recorded.find(line + "\n") != std::string::npos;
    }

    lunaro::testkit::TempDir temp;
    std::string archive;
};

TEST_F(WriteRunTest, AddHandsOverFilesPipesAndRootAndConsumesThem) {
    platform::TMemoryStream piped;
    piped.Write("abc", 3);
    piped.SetPosition(0);  // a pipe is read from where its owner left it
    master.Settings.FSpecArgs = {"docs/*.txt"};
    master.Settings.FSpecArgsExcl = {"*.bak"};
    master.Settings.RootDir = "/some/root";
    Open(archive);
    opr.Pipes = {TZKPipe{&piped, "\\in\\pipe.bin", TZKSStats{3, 0x58AF6E00, 0x20}}};
    opr.Add();
    EXPECT_EQ(opr.ErrCode(), 0) << opr.ErrMessage();
    const std::string recorded = Recorded();
    EXPECT_TRUE(Has(recorded, "spec docs/*.txt")) << recorded;
    EXPECT_TRUE(Has(recorded, "spec 0:in/pipe.bin")) << recorded;  // an entry name, '/' and relative
    EXPECT_TRUE(Has(recorded, "exclude *.bak")) << recorded;
    EXPECT_TRUE(Has(recorded, "root /some/root")) << recorded;
    EXPECT_TRUE(Has(recorded, "stream 3 58af6e00 00000020 abc")) << recorded;
    EXPECT_TRUE(opr.FSpecArgs.empty());
    EXPECT_TRUE(opr.Pipes.empty());
    EXPECT_EQ(opr.SuccessCnt(), 1);
}

TEST_F(WriteRunTest, StreamAndRenameRunsNameTheirOwnEntriesAndLeaveTheCallersSpecs) {
    master.Settings.FSpecArgs = {"keep"};
    Open(archive);
    opr.ZipStream.Write("hello", 5);
    opr.AddStreamToFile("\\sub\\x.txt", 0x58AF6E00, 0x20);
    std::string recorded = Recorded();
    EXPECT_TRUE(Has(recorded, "spec 0:sub/x.txt")) << recorded;
    EXPECT_FALSE(recorded.find("spec keep") != std::string::npos) << recorded;
    EXPECT_TRUE(Has(recorded, "stream 5 58af6e00 00000020 hello")) << recorded;
    EXPECT_EQ(opr.FSpecArgs, std::vector<std::string>{"keep"});
    EXPECT_EQ(opr.Automatic.Stream, nullptr);

    // Date 0 is now.
    const std::time_t before = std::time(nullptr);
    opr.AddStreamToFile("y.txt", 0, 0);
    recorded = Recorded();
    const size_t at = recorded.find("stream 5 ");
    ASSERT_NE(at, std::string::npos) << recorded;
    const auto stamped = UnixTimeFromDosDateTime(static_cast<uint32_t>(std::stoul(recorded.substr(at + 9, 8), nullptr, 16)));
    ASSERT_TRUE(stamped);
    EXPECT_LE(std::abs(static_cast<double>(*stamped - before)), 4.0);

    opr.Rename({{"dir\\a.txt", "new\\b.txt"}, {"c/", "d/"}}, 0x58AF6E00);
    recorded = Recorded();
    EXPECT_TRUE(Has(recorded, "spec dir/a.txt|new/b.txt")) << recorded;
    EXPECT_TRUE(Has(recorded, "spec c/|d/")) << recorded;
    EXPECT_NE(recorded.find("options 00000030 level 0 date 58af6e00"), std::string::npos) << recorded;
    EXPECT_EQ(opr.FSpecArgs, std::vector<std::string>{"keep"});
}

TEST_F(WriteRunTest, RefusedRunsNeverReachTheEngineAndKeepThePatterns) {
    const std::string junk = temp.File("junk_result1.zip");
    WriteFile(junk, std::string(300, 'j'));
    const std::string empty = temp.File("empty_result1.zip");
    WriteFile(empty, ZipBuilder().Build());
    const std::vector<std::string> none;
    const std::vector<std::string> some{"*.txt"};
    struct Case {
        const char* what;
        const std::vector<std::string>& specs;
        std::function<void()> run;
        int code;
    };
    const std::vector<Case> cases = {
        {"nothing to add", none, [&] { opr.Add(); }, msg::NoFilesToZip},
        {"nothing to delete", none, [&] { opr.Delete(); }, msg::NoFilesToDelete},
        {"nothing to rename", some, [&] { opr.Rename({}, 0); }, msg::NothingToDo},
        {"a new name leaving its folder", some, [&] { opr.Rename({{"a.txt", "sub/../../a.txt"}}, 0); },
         msg::InvalidFileName},
        {"a new name with a drive", some, [&] { opr.Rename({{"a.txt", "c:/a.txt"}}, 0); }, msg::InvalidFileName},
        {"a file renamed as a folder", some, [&] { opr.Rename({{"a.txt", "a/"}}, 0); }, msg::InvalidFileName},
        {"a wildcard entry", some, [&] { opr.AddStreamToFile("*.txt", 0, 0); }, msg::WildcardsNotAllowed},
        {"an empty entry name", some, [&] { opr.AddStreamToFile("\\", 0, 0); }, msg::InvalidFileName},
        {"a file that is no archive", some, [&] {
             opr.Set_ZipFileName(junk, TZipLoadOpts::zloSilent);
             opr.Add();
         }, msg::NotAZipArchive},
        {"a new archive in no folder", some, [&] {
             opr.Set_ZipFileName(temp.File("nowhere/new.zip"), TZipLoadOpts::zloSilent);
             opr.Add();
         }, msg::DestinationMustExist},
        {"an archive without entries", some, [&] {
             opr.Set_ZipFileName(empty, TZipLoadOpts::zloSilent);
             opr.Delete();
         }, msg::NothingToDo},
        {"a missing archive", some, [&] {
             opr.Set_ZipFileName(temp.File("none.zip"), TZipLoadOpts::zloSilent);
             opr.Delete();
         }, msg::InputFileMissing},
    };
    for (const Case& c : cases) {
        Open(archive);
        opr.FSpecArgs = c.specs;
        c.run();
        EXPECT_EQ(opr.ErrCode(), c.code) << c.what << ": " << opr.ErrMessage();
        EXPECT_EQ(Recorded(), "") << c.what;
        EXPECT_EQ(opr.FSpecArgs, c.specs) << c.what;
    }
    EXPECT_EQ(ReadFile(junk), std::string(300, 'j'));

    // Encrypting needs a password that nobody is there to type.
    master.Settings.AddOptions = {Opt::AddEncrypt};
    Open(archive);
    opr.FSpecArgs = some;
    opr.Add();
    EXPECT_EQ(opr.ErrCode(), msg::UnattendedNeedsPassword);
    EXPECT_EQ(Recorded(), "");
    master.Settings.Password = "secret";
    Open(archive);
    opr.FSpecArgs = some;
    opr.Add();
    EXPECT_EQ(opr.ErrCode(), 0) << opr.ErrMessage();
    EXPECT_NE(Recorded(), "");
}

TEST_F(WriteRunTest, OnlyARunThatChangedTheArchiveReadsItAgain) {
    const std::string replacement = temp.File("replacement.zip");
    WriteFile(replacement, ZipBuilder().AddFile("x", "1").AddFile("y", "2").AddFile("z", "3").Build());
    ::setenv("LUNARO_TEST_REPLACEMENT", replacement.c_str(), 1);
    int updates = 0;
    opr.CentralDir().OnDirUpdate = [&] { ++updates; };

    // The engine answers 0: nothing changed, the old directory stands.
    const std::string unchanged = temp.File("result0.zip");
    WriteFile(unchanged, ZipBuilder().AddFile("a.txt", "alpha").Build());
    Open(unchanged);
    updates = 0;
    opr.FSpecArgs = {"*.txt"};
    opr.Delete();
    EXPECT_EQ(updates, 0);
    EXPECT_EQ(opr.CentralDir().Count(), 1);
    EXPECT_TRUE(opr.FSpecArgs.empty());  // the engine saw them

    Open(archive);
    updates = 0;
    opr.FSpecArgs = {"*.txt"};
    opr.Delete();
    EXPECT_EQ(opr.ErrCode(), 0) << opr.ErrMessage();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(opr.CentralDir().Count(), 3);
}

}  // namespace
}  // namespace lunaro::archive

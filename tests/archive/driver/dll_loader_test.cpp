// Finding, checking and unloading the engine: the DLLDirectory forms, the
// version and export checks, use counting, the embedded engine, and what
// a run's result becomes.
#include <filesystem>

#include "archive/driver/engine_result.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "platform/files.h"
#include "tests/archive/driver/driver_fixture.h"
#include "tests/support/test_support.h"
#include "tests/support/zip_builder.h"
#include "tools/message_tables/lz77_encoder.h"

namespace lunaro::archive {
namespace {

using testkit::DriverTest;
using testkit::FakeEngineDir;

std::string GoodEngine() { return FakeEngineDir("good") + "/ZipEngine190.dll"; }

TEST_F(DriverTest, FolderWithOrWithoutSeparatorLoadsTheEngineInIt) {
    for (const std::string& directory : {FakeEngineDir("good"), FakeEngineDir("good") + "/"}) {
        StartWith(directory);
        opr.SetDLL_Load(true);
        EXPECT_TRUE(opr.DLL_Load()) << directory;
        EXPECT_EQ(loader.LoadPath(), GoodEngine());
        EXPECT_EQ(opr.DLL_Path(), std::filesystem::canonical(GoodEngine()).string());
        EXPECT_EQ(opr.DLL_Build(), 1900095);
        EXPECT_EQ(opr.DLL_Version(false), "1.9.0.0095");
        EXPECT_EQ(loader.Banner(), "fake engine for tests");
        opr.SetDLL_Load(false);
        EXPECT_FALSE(opr.DLL_Load());
        EXPECT_EQ(opr.DLL_Path(), "");
        EXPECT_EQ(opr.DLL_Version(false), "0.0.0.0000");
    }
}

TEST_F(DriverTest, NameEndingInDllIsTheLibraryItselfAndADotMeansBesideTheProgram) {
    lunaro::testkit::TempDir temp;
    const std::string renamed = temp.File("Other.DLL");
    std::filesystem::copy_file(GoodEngine(), renamed);
    StartWith(renamed);
    opr.SetDLL_Load(true);
    EXPECT_TRUE(opr.DLL_Load());
    EXPECT_EQ(loader.LoadPath(), renamed);
    opr.SetDLL_Load(false);

    // The tests' engines lie in engines/ beside the test program.
    StartWith("./engines/good");
    opr.SetDLL_Load(true);
    EXPECT_TRUE(opr.DLL_Load());
    EXPECT_EQ(std::filesystem::canonical(loader.LoadPath()), std::filesystem::canonical(GoodEngine()));
    opr.SetDLL_Load(false);
}

TEST_F(DriverTest, EmptyOrUnreachableFolderLeavesTheSearchToTheSystem) {
    for (const std::string& directory : {std::string(), std::string("/no/such/parent/engine")}) {
        messages.clear();
        StartWith(directory);
        opr.SetDLL_Load(true);
        EXPECT_FALSE(opr.DLL_Load());
        EXPECT_EQ(loader.LoadPath(), "ZipEngine190.dll") << directory;
        EXPECT_EQ(opr.ErrCode(), msg::EngineLoadFailed);
        EXPECT_EQ(opr.ErrMessage(), "Failed to load ZipEngine190.dll");
    }
}

TEST_F(DriverTest, WrongVersionsAndMissingExportsAreRefusedAndUnloaded) {
    for (const char* variant : {"v191", "oldpriv", "nobanner"}) {
        messages.clear();
        StartWith(FakeEngineDir(variant), false);
        opr.SetDLL_Load(true);
        EXPECT_FALSE(opr.DLL_Load()) << variant;
        EXPECT_EQ(opr.DLL_Path(), "");
        EXPECT_EQ(opr.ErrCode(), msg::EngineOldOrCorrupt) << variant;
        EXPECT_NE(opr.ErrMessage().find("It is old or corrupt"), std::string::npos);
        EXPECT_NE(opr.ErrMessage().find(variant), std::string::npos) << opr.ErrMessage();
    }
    // Not unattended: each failure was shown in a box.
    EXPECT_EQ(ui->shown.size(), 3u);
}

TEST_F(DriverTest, AFileThatIsNoLibraryFailsWithTheSystemErrorWhenVerbose) {
    lunaro::testkit::TempDir temp;
    lunaro::testkit::WriteFile(temp.File("ZipEngine190.dll"), "not a library at all");
    master.Settings.Verbose = true;
    StartWith(temp.Path());
    opr.SetDLL_Load(true);
    EXPECT_FALSE(opr.DLL_Load());
    EXPECT_EQ(opr.ErrCode(), msg::EngineLoadFailed);
    EXPECT_EQ(loader.LoadError(), platform::kErrorBadExeFormat);
    ASSERT_TRUE(Reported(0));
    bool sawDetail = false;
    for (const auto& [code, text] : messages)
        if (text.starts_with("Error [193 ")) sawDetail = true;
    EXPECT_TRUE(sawDetail);
}

TEST_F(DriverTest, UsesAreCountedAndTheLastOneUnloads) {
    master.Settings.Verbose = true;
    StartWith(FakeEngineDir("good"));
    TZKMaster otherMaster;
    TZKDLLOpr other(otherMaster, &loader);
    otherMaster.Settings.DLLDirectory = FakeEngineDir("v191");  // never looked at: the library is loaded
    other.StartUp();

    opr.SetDLL_Load(true);
    opr.SetDLL_Load(true);  // already held: no second use
    EXPECT_EQ(loader.UseCount(opr), 1);
    EXPECT_GT(loader.Load(other), 0);
    EXPECT_EQ(opr.DLL_Version(true), "1.9.0.0095");
    EXPECT_EQ(loader.UseCount(opr), 1);
    loader.Unload(other);
    EXPECT_NE(opr.DLL_Path(), "");  // this object still holds it
    opr.SetDLL_Load(false);
    EXPECT_EQ(opr.DLL_Path(), "");
    int loaded = 0, unloaded = 0;
    for (const auto& [code, text] : messages) {
        loaded += text.starts_with("Loaded ");
        unloaded += text.starts_with("Unloaded ");
    }
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(unloaded, 1);
}

TEST_F(DriverTest, AdmissionHookCanRefuseAFileBeforeItIsOpened) {
    loader.OnAdmitLibrary = [](const std::string& path) {
        throw EZipKeeper::CreateDisp("refused " + path, true);
    };
    StartWith(FakeEngineDir("good"));
    opr.SetDLL_Load(true);
    EXPECT_FALSE(opr.DLL_Load());
    EXPECT_EQ(opr.ErrMessage(), "refused " + GoodEngine());
}

class EmbeddedEngineTest : public DriverTest {
protected:
    ~EmbeddedEngineTest() override { SetEmbeddedEngineResource({}); }

    void Carry(std::vector<uint8_t> resource) {
        resource_ = std::move(resource);
        SetEmbeddedEngineResource(resource_);
    }
    static std::vector<uint8_t> Versioned(uint32_t version, std::vector<uint8_t> body) {
        std::vector<uint8_t> out = {uint8_t(version), uint8_t(version >> 8), uint8_t(version >> 16), uint8_t(version >> 24)};
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
    static std::vector<uint8_t> Library() {
        const std::string bytes = lunaro::testkit::ReadFile(GoodEngine());
        return {bytes.begin(), bytes.end()};
    }

    lunaro::testkit::TempDir temp;
    std::vector<uint8_t> resource_;
};

TEST_F(EmbeddedEngineTest, PlainAndPackedResourcesAreUnpackedLoadedAndDeletedAtUnload) {
    const std::vector<uint8_t> library = Library();
    ASSERT_GE(library.size(), kMinEngineResource);
    std::vector<uint8_t> packed = tools::Lz77Encode(library);
    const uint32_t length = static_cast<uint32_t>(library.size());
    packed.insert(packed.begin(), {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)});
    ASSERT_GE(packed.size() + 4, kMinEngineResource);

    for (const auto& body : {library, packed}) {
        TZKDLLLoader fresh;  // the resource is looked at once per loader
        TZKDLLOpr user(master, &fresh);
        Carry(Versioned(1900095, body));
        master.Settings.DLLDirectory = "><";
        master.Settings.TempDir = temp.Path();
        user.StartUp();
        user.SetDLL_Load(true);
        ASSERT_TRUE(user.DLL_Load());
        const std::string copy = fresh.LoadPath();
        EXPECT_EQ(platform::ExtractFilePath(copy), temp.Path() + "/");
        EXPECT_TRUE(copy.ends_with("}.dll")) << copy;
        EXPECT_TRUE(platform::FileExists(copy));
        user.SetDLL_Load(false);
        EXPECT_FALSE(platform::FileExists(copy));
    }
}

TEST_F(EmbeddedEngineTest, UnusableResourcesGiveTheLoadFailure) {
    const std::vector<uint8_t> library = Library();
    std::vector<uint8_t> damaged = Versioned(1900095, {0x10, 0, 1, 0});  // packed, claims 65552 bytes
    damaged.resize(kMinEngineResource + 10, 0xFF);
    const std::vector<std::vector<uint8_t>> unusable = {
        Versioned(1900094, library),  // too old
        std::vector<uint8_t>(library.begin(), library.begin() + 1000),  // too small
        damaged,
    };
    for (const auto& resource : unusable) {
        TZKDLLLoader fresh;
        TZKDLLOpr user(master, &fresh);
        Carry(resource);
        master.Settings.DLLDirectory = "><";
        master.Settings.TempDir = temp.Path();
        user.StartUp();
        user.SetDLL_Load(true);
        EXPECT_FALSE(user.DLL_Load());
        EXPECT_EQ(user.ErrCode(), msg::EngineLoadFailed);
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
}

TEST_F(EmbeddedEngineTest, EmbeddedCopyStandsInWhenNoFolderIsGivenAndNoEngineIsFound) {
    Carry(Versioned(1900095, Library()));
    master.Settings.TempDir = temp.Path();
    StartWith("");
    opr.SetDLL_Load(true);
    EXPECT_TRUE(opr.DLL_Load());
    EXPECT_TRUE(loader.LoadPath().ends_with("}.dll"));
    EXPECT_EQ(opr.ErrCode(), 0);
}

TEST(EngineResult, NegativeResultsBecomeTheirMessages) {
    auto identOf = [](int result) {
        try {
            CheckEngineResult(result);
        } catch (const EZipKeeper& e) {
            return std::make_pair(e.ResId(), e.Message());
        }
        return std::make_pair(0, std::string());
    };
    EXPECT_EQ(identOf(5).first, 0);
    EXPECT_EQ(identOf(-1).first, msg::UserCanceled);
    EXPECT_EQ(identOf(-2).first, msg::UserCanceled);
    EXPECT_EQ(identOf(-3), std::make_pair(msg::EngineCallbackException, std::string("Callback exception")));
    EXPECT_EQ(identOf(-36).first, 11684);
    EXPECT_EQ(identOf(-40), std::make_pair(msg::CriticalEngineError, std::string("critical DLL Error 40")));
    EXPECT_EQ(identOf(INT32_MIN).first, msg::CriticalEngineError);

    EXPECT_EQ(EngineErrorIdent(0x0A00), 0);
    EXPECT_EQ(EngineErrorIdent(0x0A05), msg::EngineInvalidStructure);
    EXPECT_EQ(EngineErrorIdent(0xFF), msg::EngineFatalError);
    EXPECT_EQ(FormatEngineVersion(1900095), "1.9.0.0095");
    EXPECT_EQ(FormatEngineVersion(2012345), "2.0.1.0345");
}

// A run through the stand-in engine, whose result is named in the archive's path.
class EngineRunTest : public DriverTest {
protected:
    void Run(const std::string& archiveName) {
        const std::string archive = temp.File(archiveName);
        lunaro::testkit::WriteFile(archive, lunaro::testkit::ZipBuilder().AddFile("a.txt", "alpha").Build());
        master.Settings.FSpecArgs = {"*.*"};
        master.Settings.ExtrBaseDir = temp.Path();
        StartWith(FakeEngineDir("good"));
        opr.Set_ZipFileName(archive, TZipLoadOpts::zloFull);
        opr.Extract();
    }
    lunaro::testkit::TempDir temp;
};

TEST_F(EngineRunTest, ASuccessfulRunCountsAndConsumesThePatterns) {
    Run("result3.zip");
    EXPECT_EQ(opr.ErrCode(), 0);
    EXPECT_EQ(opr.SuccessCnt(), 3);
    EXPECT_TRUE(opr.FSpecArgs.empty());
    EXPECT_EQ(opr.DLLOperKey(), 0u);
    EXPECT_FALSE(opr.DLL_Load());  // the run's use was given back
    EXPECT_TRUE(Reported(0));      // unattended without a password: the warning
}

TEST_F(EngineRunTest, FailedRunsReportTheirMessage) {
    Run("result-40.zip");
    EXPECT_EQ(opr.ErrCode(), msg::CriticalEngineError);
    EXPECT_EQ(opr.SuccessCnt(), 0);
    Run("result-2.zip");
    EXPECT_EQ(opr.ErrCode(), msg::UserCanceled);
}

TEST_F(EngineRunTest, MissingDestinationAndMissingEngineStopBeforeTheEngine) {
    master.Settings.ExtrOptions = {};
    const std::string archive = temp.File("result1.zip");
    lunaro::testkit::WriteFile(archive, lunaro::testkit::ZipBuilder().AddFile("a.txt", "alpha").Build());
    master.Settings.FSpecArgs = {"*.*"};
    master.Settings.ExtrBaseDir = temp.File("missing");
    StartWith(FakeEngineDir("good"));
    opr.Set_ZipFileName(archive, TZipLoadOpts::zloFull);
    opr.Extract();
    EXPECT_EQ(opr.ErrCode(), msg::ExtractDirMustExist);
    EXPECT_EQ(opr.FSpecArgs, std::vector<std::string>{"*.*"});  // kept: the engine never ran

    master.Settings.ExtrBaseDir = temp.Path();
    StartWith(temp.Path());  // no engine there
    opr.Set_ZipFileName(archive, TZipLoadOpts::zloFull);
    opr.Extract();
    EXPECT_EQ(opr.ErrCode(), msg::EngineLoadFailed);
    EXPECT_EQ(opr.SuccessCnt(), 0);
    EXPECT_EQ(opr.FSpecArgs, std::vector<std::string>{"*.*"});
}

TEST_F(EngineRunTest, ADirectoryDamagedPartWayIsNeverExtracted) {
    // The second of two headers is cut short: the first loads, the load fails.
    const std::string whole = lunaro::testkit::ZipBuilder().AddFile("a.txt", "alpha").AddFile("b.txt", "beta").Build();
    const std::string archive = temp.File("result1.zip");
    lunaro::testkit::WriteFile(archive, whole.substr(0, whole.size() - 22 - 40) + whole.substr(whole.size() - 22));
    master.Settings.FSpecArgs = {"*.*"};
    master.Settings.ExtrBaseDir = temp.Path();
    StartWith(FakeEngineDir("good"));
    EXPECT_EQ(opr.Set_ZipFileName(archive, TZipLoadOpts::zloFull), -msg::CentralHeaderReadError);
    opr.Extract();
    EXPECT_EQ(opr.ErrCode(), msg::CentralHeaderReadError);
    EXPECT_EQ(opr.SuccessCnt(), 0);
    EXPECT_EQ(opr.FSpecArgs, std::vector<std::string>{"*.*"});  // the engine never ran
}

}  // namespace
}  // namespace lunaro::archive

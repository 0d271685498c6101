#include "app/install_mark.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/config_values.h"
#include "app/install_checks.h"
#include "app/install_procedure.h"
#include "platform/files.h"
#include "tests/app/installer_test_env.h"

namespace lunaro::app {
namespace {

using testkit::InstallerTestEnv;

InstallChoices CloudWorkstation(std::string alias) {
    InstallChoices choices;
    choices.mode = InstallMode::Workstation;
    choices.paf = false;
    choices.page = ConnectionPage::Cloud;
    choices.server = "  ";  // spaces are text and must come back as they were
    choices.databasePath = "\"C:\\B.FDB\"";
    choices.companyAlias = std::move(alias);
    return choices;
}

void ExpectSame(const InstallChoices& a, const InstallChoices& b) {
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.paf, b.paf);
    EXPECT_EQ(a.page, b.page);
    EXPECT_EQ(a.server, b.server);
    EXPECT_EQ(a.databasePath, b.databasePath);
    EXPECT_EQ(a.companyAlias, b.companyAlias);
}

TEST(InstallMark, KeepsTheChoicesExactlyAndTheCheckOffersToContinueBeforeRefusing) {
    InstallerTestEnv env;
    EXPECT_FALSE(InterruptedInstallChoices());
    const InstallChoices started = CloudWorkstation("A&B");
    BeginInstallMark(started);
    MarkPackageInPlace("c:\\Lunaro\\", "GDS32.zip");
    std::filesystem::create_directories(env.OnDriveC("Lunaro"));  // would refuse a new installation

    const auto read = InterruptedInstallChoices();
    ASSERT_TRUE(read);
    ExpectSame(*read, started);
    EXPECT_TRUE(PackageInPlace("c:\\Lunaro\\", "GDS32.zip"));
    EXPECT_FALSE(PackageInPlace("c:\\LunaroPaf\\", "GDS32.zip"));  // same name, other folder

    const auto refusal = CheckInstall(InstallChoices{});
    ASSERT_TRUE(refusal);
    ASSERT_TRUE(refusal->interrupted);
    ExpectSame(*refusal->interrupted, started);
    InstallChoices pos;
    pos.mode = InstallMode::PointOfSaleOnly;
    EXPECT_FALSE(CheckInstall(pos));

    // A new start forgets what the old one had in place.
    BeginInstallMark(started);
    EXPECT_FALSE(PackageInPlace("c:\\Lunaro\\", "GDS32.zip"));
    ClearInstallMark();
    EXPECT_FALSE(InterruptedInstallChoices());
    EXPECT_FALSE(CheckInstall(InstallChoices{})->interrupted);
}

TEST(InstallMark, AMarkThisProgramDidNotWriteIsNoInterruptedInstallation) {
    InstallerTestEnv env;
    testkit::WriteFile(env.OnDriveC("LunaroInstalacao.ini"), "[Instalacao]\r\nModo=Tudo\r\n");
    EXPECT_FALSE(InterruptedInstallChoices());
}

// Fails at one package; records what was asked for.
class FailingAt : public PackageSource {
public:
    explicit FailingAt(std::string failing) : failing_(std::move(failing)) {}
    bool BaixarArquivo(const std::string& folder, const std::string& name) override {
        fetched.push_back(name);
        platform::ForceDirectories(folder);
        return name != failing_;
    }
    std::vector<std::string> fetched;

private:
    std::string failing_;
};

TEST(InstallMark, AContinuingRunSkipsWhatIsInPlaceAndEndsLikeAFreshOne) {
    InstallerTestEnv env;
    const InstallChoices choices = CloudWorkstation("A&B");
    FailingAt first("GDS32.zip");
    EXPECT_EQ(RunInstallProcedure(choices, first), InstallOutcome::Stopped);
    EXPECT_TRUE(InterruptedInstallChoices());

    FailingAt second("");
    EXPECT_EQ(RunInstallProcedure(choices, second, InstallStart::Continuing), InstallOutcome::Completed);
    EXPECT_EQ(first.fetched, (std::vector<std::string>{"ZipEngine190.dll", "LunaroSoftInstalacao.zip", "GDS32.zip"}));
    EXPECT_EQ(second.fetched, std::vector<std::string>{"GDS32.zip"});
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "AB");
    EXPECT_FALSE(InterruptedInstallChoices());
    EXPECT_EQ(env.Messages().back(), "Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo");
    EXPECT_TRUE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
}

}  // namespace
}  // namespace lunaro::app

#include "app/install_procedure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "app/config_values.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "tests/app/installer_test_env.h"

namespace lunaro::app {
namespace {

using testing::InstallerTestEnv;
using Fetch = std::pair<std::string, std::string>;

// Records the packages asked for, making their folders as the fetch step
// does; answers "stopped" for one of them.
class RecordingSource : public PackageSource {
public:
    bool BaixarArquivo(const std::string& folder, const std::string& name) override {
        fetched.emplace_back(folder, name);
        platform::ForceDirectories(folder);
        return name != stopAt;
    }
    std::vector<Fetch> fetched;
    std::string stopAt;
};

InstallChoices Choices(InstallMode mode, bool paf) {
    InstallChoices choices;
    choices.mode = mode;
    choices.paf = paf;
    return choices;
}

TEST(InstallProcedure, FullWithPafFetchesInOrderThenShortcutAndMessage) {
    InstallerTestEnv env;
    RecordingSource source;
    EXPECT_EQ(RunInstallProcedure(Choices(InstallMode::Full, true), source), InstallOutcome::Completed);
    const std::vector<Fetch> expected = {{"c:\\Lunaro\\", "ZipEngine190.dll"},
                                         {"c:\\Lunaro\\", "LunaroSoftInstalacao.zip"},
                                         {"c:\\LunaroPaf\\", "LunaroPafInstalacao.zip"},
                                         {"c:\\LunaroPaf\\", "GDS32.zip"},
                                         {"c:\\Lunaro\\Banco\\", "banco.zip"}};
    EXPECT_EQ(source.fetched, expected);
    EXPECT_TRUE(std::filesystem::is_directory(env.OnDriveC("Lunaro")));
    EXPECT_TRUE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_EQ(env.Messages(), std::vector<std::string>{"Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo"});
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/CnfComercio.ini")));  // nothing written in this mode
}

TEST(InstallProcedure, ThePresentEngineLibraryIsNotFetchedAgain) {
    InstallerTestEnv env;
    std::filesystem::create_directories(env.OnDriveC("Lunaro"));
    testing::WriteFile(env.OnDriveC("Lunaro/ZipEngine190.dll"), "engine");
    RecordingSource source;
    RunInstallProcedure(Choices(InstallMode::Full, false), source);
    const std::vector<Fetch> expected = {{"c:\\Lunaro\\", "LunaroSoftInstalacao.zip"},
                                         {"c:\\Lunaro\\Banco\\", "banco.zip"}};
    EXPECT_EQ(source.fetched, expected);
}

TEST(InstallProcedure, NetworkWorkstationWritesTheThreeValues) {
    InstallerTestEnv env;
    InstallChoices choices = Choices(InstallMode::Workstation, false);
    choices.server = "SRV01";
    choices.databasePath = "C:\\Dados\\BANCO.FDB";
    RecordingSource source;
    EXPECT_EQ(RunInstallProcedure(choices, source), InstallOutcome::Completed);
    const std::vector<Fetch> expected = {{"c:\\Lunaro\\", "ZipEngine190.dll"},
                                         {"c:\\Lunaro\\", "LunaroSoftInstalacao.zip"},
                                         {"c:\\Lunaro\\", "GDS32.zip"}};
    EXPECT_EQ(source.fetched, expected);
    EXPECT_EQ(LerIni("c:\\Lunaro\\Atualizador.ini", "CONFIGURACAO", "INSTALACAO"), "N");
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "NomeBanco1"), "Local");
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "SRV01:C:\\Dados\\BANCO.FDB");
}

TEST(InstallProcedure, CloudWorkstationRemovesAmpersandsFromTheAlias) {
    InstallerTestEnv env;
    InstallChoices choices = Choices(InstallMode::Workstation, true);
    choices.page = ConnectionPage::Cloud;
    choices.companyAlias = "A&B&C";
    RecordingSource source;
    RunInstallProcedure(choices, source);
    EXPECT_EQ(source.fetched.size(), 5u);
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "NomeBanco1"), "&Local");
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "ABC");
}

TEST(InstallProcedure, PointOfSaleCopiesTheDatabasePathEvenWhenThereIsNone) {
    InstallerTestEnv env;
    RecordingSource source;
    EXPECT_EQ(RunInstallProcedure(Choices(InstallMode::PointOfSaleOnly, false), source), InstallOutcome::Completed);
    const std::vector<Fetch> expected = {{"c:\\LunaroPaf\\", "LunaroPafInstalacao.zip"},
                                         {"c:\\LunaroPaf\\", "GDS32.zip"}};
    EXPECT_EQ(source.fetched, expected);
    const std::string ini = testing::ReadFile(env.OnDriveC("LunaroPaf/PafEcf.ini"));
    EXPECT_NE(ini.find("CaminhoBancoPAF=\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("CaminhoBancoServer=\r\n"), std::string::npos) << ini;
    EXPECT_EQ(env.Messages(),
              std::vector<std::string>{"Para Abrir o PDV, abra o sistema Zeltra e no menu esquerdo VENDAS / CUPOM FISCAL"});

    // With the back office in place its database path is carried over.
    std::filesystem::create_directories(env.OnDriveC("Lunaro"));
    GravarIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1", "SRV:C:\\B.FDB");
    RunInstallProcedure(Choices(InstallMode::PointOfSaleOnly, false), source);
    EXPECT_EQ(LerIni("c:\\LunaroPaf\\PafEcf.ini", "ConfiguracaoLocal", "CaminhoBancoServer"), "SRV:C:\\B.FDB");
}

TEST(InstallProcedure, StoppingAtAPackageEndsWithoutMessageOrShortcut) {
    InstallerTestEnv env;
    RecordingSource source;
    source.stopAt = "LunaroPafInstalacao.zip";
    EXPECT_EQ(RunInstallProcedure(Choices(InstallMode::Workstation, true), source), InstallOutcome::Stopped);
    EXPECT_EQ(source.fetched.back().second, "LunaroPafInstalacao.zip");
    EXPECT_TRUE(env.Messages().empty());
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/Atualizador.ini")));
}

TEST(InstallProcedure, ARefusedConfigurationWriteIsRaised) {
    InstallerTestEnv env;
    std::filesystem::create_directories(env.OnDriveC("LunaroPaf/PafEcf.ini"));  // a folder where the file goes
    RecordingSource source;
    EXPECT_THROW(RunInstallProcedure(Choices(InstallMode::PointOfSaleOnly, false), source),
                 platform::EIniFileException);
    EXPECT_TRUE(env.Messages().empty());
}

}  // namespace
}  // namespace lunaro::app

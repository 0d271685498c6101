#include <gtest/gtest.h>

#include <filesystem>

#include "app/config_values.h"
#include "app/desktop_shortcut.h"
#include "platform/ini_file.h"
#include "tests/app/installer_test_env.h"

namespace lunaro::app {
namespace {

using testkit::InstallerTestEnv;
using testkit::ReadFile;

TEST(ConfigValues, WritingCreatesFileSectionAndKeyAndReadingMissingGivesEmpty) {
    InstallerTestEnv env;
    std::filesystem::create_directories(env.OnDriveC("Lunaro"));
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "");
    GravarIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1", "SRV01:C:\\Dados\\BANCO.FDB");
    EXPECT_EQ(LerIni("C:\\LUNARO\\cnfcomercio.ini", "listaservidores", "caminhobanco1"), "SRV01:C:\\Dados\\BANCO.FDB");
    EXPECT_NE(ReadFile(env.OnDriveC("Lunaro/CnfComercio.ini")).find("[ListaServidores]"), std::string::npos);
}

TEST(ConfigValues, ARefusedWriteRaisesWithTheFileName) {
    InstallerTestEnv env;
    try {
        GravarIni("c:\\NoSuchFolder\\x.ini", "S", "K", "V");
        FAIL() << "the write should have been refused";
    } catch (const platform::EIniFileException& error) {
        EXPECT_EQ(error.Message(), "Unable to write to c:\\NoSuchFolder\\x.ini");
    }
}

TEST(CriarAtalho, WritesALauncherOnTheDesktopPointingAtTheMappedTarget) {
    InstallerTestEnv env;
    CriarAtalho("C:\\Lunaro\\Atualizador.exe", "", "C:\\Lunaro\\", "Ventrix", "", kDesktopLocation);
    const std::string launcher = ReadFile(env.DesktopFile("Ventrix.desktop"));
    ASSERT_FALSE(launcher.empty());
    EXPECT_NE(launcher.find("[Desktop Entry]"), std::string::npos);
    EXPECT_NE(launcher.find(env.OnDriveC("Lunaro/Atualizador.exe")), std::string::npos);
    EXPECT_NE(launcher.find("Path=" + env.OnDriveC("Lunaro")), std::string::npos);
    const auto permissions = std::filesystem::status(env.DesktopFile("Ventrix.desktop")).permissions();
    EXPECT_NE(permissions & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
}

TEST(CriarAtalho, CreatesOneMissingSubFolderAndStaysQuietOnFailure) {
    InstallerTestEnv env;
    std::filesystem::create_directories(env.DesktopFile(""));
    CriarAtalho("C:\\Lunaro\\Atualizador.exe", "", "C:\\Lunaro\\", "Ventrix", "LunaroSoft", 255);
    EXPECT_TRUE(std::filesystem::exists(env.DesktopFile("LunaroSoft/Ventrix.desktop")));
    // Two missing levels: the folder is not made and nothing is raised.
    EXPECT_NO_THROW(CriarAtalho("C:\\Lunaro\\Atualizador.exe", "", "", "Ventrix", "a\\b", 0));
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("a")));
}

}  // namespace
}  // namespace lunaro::app

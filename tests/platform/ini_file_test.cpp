#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini_file.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/test_support.h"

using namespace lunaro::platform;
using lunaro::testkit::ReadFile;
using lunaro::testkit::ScopedEnv;
using lunaro::testkit::TempDir;
using lunaro::testkit::WriteFile;

namespace fs = std::filesystem;

TEST(IniFile, ReadsAFileFromAnotherProgramWithOddSpacing) {
    TempDir dir;
    const std::string file = dir.File("CnfComercio.ini");
    WriteFile(file,
              "; made elsewhere\n"
              "global=1\n"
              "\n"
              "  [ ListaServidores ]  \n"
              "\tNomeBanco1 =  Local  \n"
              "CaminhoBanco1=SRV01:C:\\Dados\\BANCO.FDB\r\n"
              "Quoted = \"  spaced  \"\n"
              "[Other]\n"
              "NomeBanco1=wrong section\n");
    EXPECT_EQ(ReadProfileString(file, "listaservidores", "NOMEBANCO1", "?"), "Local");
    EXPECT_EQ(ReadProfileString(file, "ListaServidores", "CaminhoBanco1", ""), "SRV01:C:\\Dados\\BANCO.FDB");
    EXPECT_EQ(ReadProfileString(file, "ListaServidores", "Quoted", ""), "  spaced  ");
    EXPECT_EQ(ReadProfileString(file, "ListaServidores", "global", "dflt"), "dflt");
    EXPECT_EQ(ReadProfileString(file, "Missing", "x", "dflt"), "dflt");
    EXPECT_EQ(ReadProfileString(dir.File("absent.ini"), "a", "b", ""), "");
}

TEST(IniFile, RewritePreservesOtherLinesAndPutsNewKeysAtTheEndOfTheirSection) {
    TempDir dir;
    const std::string file = dir.File("Atualizador.ini");
    WriteFile(file, "[CONFIGURACAO]\n  Versao = 7 \n\n\n[Outra]\nA=1");
    ASSERT_TRUE(WriteProfileString(file, "configuracao", "INSTALACAO", "N"));
    ASSERT_TRUE(WriteProfileString(file, "Outra", "a", "2"));
    ASSERT_TRUE(WriteProfileString(file, "Nova", "k", "v"));
    EXPECT_EQ(ReadFile(file),
              "[CONFIGURACAO]\r\n  Versao = 7 \r\nINSTALACAO=N\r\n\r\n\r\n[Outra]\r\nA=2\r\n[Nova]\r\nk=v\r\n");
    EXPECT_EQ(ReadProfileString(file, "CONFIGURACAO", "Instalacao", ""), "N");
}

TEST(IniFile, CreatesTheFileButNotItsFolder) {
    TempDir drive;
    ScopedEnv env("LUNARO_DRIVE_C", drive.Path());
    fs::create_directories(drive.Path() + "/LunaroPaf");
    ASSERT_TRUE(WriteProfileString("c:\\lunaropaf\\PafEcf.ini", "ConfiguracaoLocal", "CaminhoBancoPAF", ""));
    EXPECT_EQ(ReadFile(drive.Path() + "/LunaroPaf/PafEcf.ini"), "[ConfiguracaoLocal]\r\nCaminhoBancoPAF=\r\n");
    EXPECT_FALSE(WriteProfileString("c:\\Missing\\x.ini", "s", "k", "v"));
    EXPECT_FALSE(fs::exists(drive.Path() + "/Missing"));
}

TEST(IniFile, LongValuesComeBackCutTo2047Bytes) {
    TempDir dir;
    const std::string file = dir.File("long.ini");
    const std::string value(3000, 'x');
    ASSERT_TRUE(WriteProfileString(file, "s", "k", value));
    EXPECT_EQ(ReadFile(file).size(), std::string("[s]\r\nk=\r\n").size() + 3000);
    EXPECT_EQ(ReadProfileString(file, "s", "k", ""), std::string(2047, 'x'));
    EXPECT_EQ(ReadProfileString(file, "s", "other", value).size(), 2047u);
}

TEST(IniFile, RefusedWritesLeaveTheOriginalIntactAndRaiseTheMessage) {
    TempDir dir;
    const std::string file = dir.File("cfg.ini");
    const std::string original = "[s]\nk=old\n";
    WriteFile(file, original);
    EXPECT_FALSE(WriteProfileString(file, "s", "k", "line\r\nbreak"));
    EXPECT_FALSE(WriteProfileString(file, "s", "", "v"));
    EXPECT_FALSE(WriteProfileString(file, "s", "[k", "v"));
    EXPECT_FALSE(WriteProfileString(file, "s", "a=b", "v"));
    EXPECT_EQ(ReadFile(file), original);

    fs::create_directory(dir.File("folder.ini"));
    EXPECT_FALSE(WriteProfileString(dir.File("folder.ini"), "s", "k", "v"));
    EXPECT_TRUE(fs::is_directory(dir.File("folder.ini")));
    try {
        WriteProfileStringOrRaise(dir.File("folder.ini"), "s", "k", "v");
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + dir.File("folder.ini"));
    }
    EXPECT_NO_THROW(WriteProfileStringOrRaise(file, "s", "k", "new"));
    EXPECT_EQ(ReadProfileString(file, "s", "k", ""), "new");
}

TEST(IniFile, BytesAreStoredAsGiven) {
    TempDir dir;
    const std::string file = dir.File("bytes.ini");
    const std::string latin1 = "Jo\xE3o";
    ASSERT_TRUE(WriteProfileString(file, "s", "nome", latin1));
    EXPECT_EQ(ReadProfileString(file, "S", "NOME", ""), latin1);
}

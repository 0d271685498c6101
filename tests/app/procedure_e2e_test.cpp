#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/config_values.h"
#include "app/install_procedure.h"
#include "app/package_fetcher.h"
#include "tests/app/demo_server.h"
#include "tests/app/installer_test_env.h"

namespace lunaro::app {
namespace {

using Requests = std::vector<std::string>;

struct RecordingView : ProgressView {
    void SetProgressMaximum(int32_t) override {}
    void SetProgressPosition(int32_t) override {}
    void SetConnectionInfo(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// Turns the failure question into a chance to put a missing package back.
class RepairingUi : public platform::ScriptedUi {
public:
    int MessageBox(const platform::MessageBoxRequest& request) override {
        const int answer = ScriptedUi::MessageBox(request);
        if (repair) std::exchange(repair, nullptr)();
        return answer;
    }
    std::function<void()> repair;
};

// Stops at the first failure question, whatever boxes came before it.
class StoppingUi : public platform::ScriptedUi {
public:
    int MessageBox(const platform::MessageBoxRequest& request) override {
        const bool question = std::find(request.buttons.begin(), request.buttons.end(), platform::mrAbort) !=
                              request.buttons.end();
        if (question) QueueAnswer(platform::mrAbort);
        return ScriptedUi::MessageBox(request);
    }
};

class ProcedureAgainstDemoServer : public ::testing::Test {
protected:
    void SetUp() override { LUNARO_REQUIRE_PEER(server.Running(), server.Error()); }

    InstallOutcome Run(const InstallChoices& choices) {
        PlainTransferBoxes boxes;
        AskOperatorToRetry ask;
        PackageFetcher fetcher(boxes, view, ask, server.BaseUrl());
        return RunInstallProcedure(choices, fetcher);
    }
    bool OnDriveC(const std::string& relative) const { return std::filesystem::exists(env.OnDriveC(relative)); }
    // Archives and partial files anywhere on drive C:.
    Requests ArchivesLeft() const {
        Requests left;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(env.OnDriveC("")))
            if (entry.path().extension() == ".zip" || entry.path().extension() == ".part")
                left.push_back(entry.path().filename().string());
        return left;
    }
    // Publishes bytes under a package name on the server.
    void Publish(const std::string& name, const std::string& bytes) {
        testkit::WriteFile(server.PackagesFolder() + "/" + name, bytes);
    }

    testkit::InstallerTestEnv env;
    testkit::DemoServer server{env.Root()};
    RecordingView view;
};

InstallChoices Workstation(bool paf) {
    InstallChoices choices;
    choices.mode = InstallMode::Workstation;
    choices.paf = paf;
    return choices;
}

TEST_F(ProcedureAgainstDemoServer, FullInstallationUnpacksEveryPackageIntoItsFolder) {
    ASSERT_EQ(Run(InstallChoices{}), InstallOutcome::Completed);
    EXPECT_EQ(server.Requests(), (Requests{"/ZipEngine190.dll 200", "/LunaroSoftInstalacao.zip 200",
                                           "/LunaroPafInstalacao.zip 200", "/GDS32.zip 200", "/banco.zip 200"}));
    for (const char* file : {"Lunaro/ZipEngine190.dll", "Lunaro/CnfComercio.ini", "Lunaro/Atualizador.ini",
                             "Lunaro/Atualizador.exe", "LunaroPaf/PafEcf.ini", "LunaroPaf/gds32.dll",
                             "Lunaro/Banco/BANCO.FDB"})
        EXPECT_TRUE(OnDriveC(file)) << file;
    EXPECT_EQ(ArchivesLeft(), Requests{});
    EXPECT_EQ(testkit::ReadFile(env.OnDriveC("Lunaro/Banco/BANCO.FDB")),
              testkit::ReadFile(std::string(LUNARO_SOURCE_DIR) + "/demo/packages/banco/BANCO.FDB"));
    EXPECT_NE(testkit::ReadFile(env.DesktopFile("Ventrix.desktop")).find(env.OnDriveC("Lunaro/Atualizador.exe")),
              std::string::npos);
    EXPECT_EQ(env.Messages(), (Requests{"Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo"}));
    EXPECT_EQ(view.texts.back(), "Download Finalizado.");
}

TEST_F(ProcedureAgainstDemoServer, WorkstationsWriteTheirConnectionAndSkipAPresentEngine) {
    std::filesystem::create_directories(env.OnDriveC("Lunaro"));
    std::filesystem::copy_file(LUNARO_UNPACKING_ENGINE, env.OnDriveC("Lunaro/ZipEngine190.dll"));
    InstallChoices network = Workstation(false);
    network.server = "SRV01";
    network.databasePath = "C:\\Dados\\BANCO.FDB";
    ASSERT_EQ(Run(network), InstallOutcome::Completed);
    EXPECT_EQ(server.Requests(), (Requests{"/LunaroSoftInstalacao.zip 200", "/GDS32.zip 200"}));
    EXPECT_TRUE(OnDriveC("Lunaro/gds32.dll"));
    EXPECT_EQ(ArchivesLeft(), Requests{});
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "SRV01:C:\\Dados\\BANCO.FDB");
    // The values went into the files the package brought, which keep the rest.
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "Empresa", "Nome"), "Empresa de Demonstração");
    EXPECT_EQ(LerIni("c:\\Lunaro\\Atualizador.ini", "CONFIGURACAO", "VERSAO"), "1.0.0");
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "NomeBanco1"), "Local");
    EXPECT_EQ(LerIni("c:\\Lunaro\\Atualizador.ini", "CONFIGURACAO", "INSTALACAO"), "N");

    InstallChoices cloud = Workstation(true);
    cloud.page = ConnectionPage::Cloud;
    cloud.companyAlias = "A&B&C";
    ASSERT_EQ(Run(cloud), InstallOutcome::Completed);
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "ABC");
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "NomeBanco1"), "&Local");
    EXPECT_EQ(LerIni("c:\\LunaroPaf\\PafEcf.ini", "ConfiguracaoLocal", "Terminal"), "001");
    EXPECT_EQ(ArchivesLeft(), Requests{});
}

TEST_F(ProcedureAgainstDemoServer, PointOfSaleWithoutTheBackOfficeFetchesTheEngineAndWritesTwoEmptyValues) {
    InstallChoices pos;
    pos.mode = InstallMode::PointOfSaleOnly;
    ASSERT_EQ(Run(pos), InstallOutcome::Completed);
    EXPECT_EQ(server.Requests(), (Requests{"/ZipEngine190.dll 200", "/LunaroPafInstalacao.zip 200", "/GDS32.zip 200"}));
    EXPECT_EQ(LerIni("c:\\LunaroPaf\\PafEcf.ini", "ConfiguracaoLocal", "CaminhoBancoPAF"), "");
    EXPECT_EQ(LerIni("c:\\LunaroPaf\\PafEcf.ini", "ConfiguracaoLocal", "Terminal"), "001");
    EXPECT_FALSE(OnDriveC("Lunaro/CnfComercio.ini"));
    EXPECT_EQ(ArchivesLeft(), Requests{});
}

TEST_F(ProcedureAgainstDemoServer, AMissingPackageIsReportedAndStoppingEndsWithoutSuccess) {
    std::filesystem::remove(server.PackagesFolder() + "/GDS32.zip");
    env.Ui().QueueAnswer(platform::mrAbort);
    ASSERT_EQ(Run(Workstation(false)), InstallOutcome::Stopped);
    ASSERT_EQ(env.Messages().size(), 1u);
    const std::string text = env.Messages()[0];
    EXPECT_NE(text.find("GDS32.zip"), std::string::npos) << text;
    EXPECT_NE(text.find("404 Not Found"), std::string::npos) << text;
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_EQ(LerIni("c:\\Lunaro\\Atualizador.ini", "CONFIGURACAO", "INSTALACAO"), "S");  // not written
    EXPECT_TRUE(OnDriveC("Lunaro/CnfComercio.ini"));  // what came stays
    EXPECT_FALSE(OnDriveC("Lunaro/GDS32.zip"));
}

TEST_F(ProcedureAgainstDemoServer, TryingAgainFetchesThePackageOnceItIsBack) {
    const std::string package = server.PackagesFolder() + "/LunaroSoftInstalacao.zip";
    const std::string saved = package + ".saved";
    std::filesystem::rename(package, saved);
    auto ui = std::make_unique<RepairingUi>();
    ui->repair = [&] { std::filesystem::rename(saved, package); };
    ui->QueueAnswer(platform::mrRetry);
    env.ReplaceUi(std::move(ui));
    InstallChoices full;
    full.paf = false;
    ASSERT_EQ(Run(full), InstallOutcome::Completed);
    EXPECT_EQ(server.Requests(), (Requests{"/ZipEngine190.dll 200", "/LunaroSoftInstalacao.zip 404",
                                           "/LunaroSoftInstalacao.zip 200", "/banco.zip 200"}));
    // The error page the server sent first is not part of the package.
    EXPECT_EQ(LerIni("c:\\Lunaro\\Atualizador.ini", "CONFIGURACAO", "VERSAO"), "1.0.0");
    EXPECT_EQ(ArchivesLeft(), Requests{});
    EXPECT_EQ(env.Messages().back(), "Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo");
}

TEST_F(ProcedureAgainstDemoServer, AStoppedServerIsReportedWithTheNetworkError) {
    std::filesystem::create_directories(env.OnDriveC("Lunaro"));
    std::filesystem::copy_file(LUNARO_UNPACKING_ENGINE, env.OnDriveC("Lunaro/ZipEngine190.dll"));
    server.Stop();
    env.Ui().QueueAnswer(platform::mrAbort);
    InstallChoices pos;
    pos.mode = InstallMode::PointOfSaleOnly;
    ASSERT_EQ(Run(pos), InstallOutcome::Stopped);
    ASSERT_EQ(env.Messages().size(), 1u);
    EXPECT_NE(env.Messages()[0].find("LunaroPafInstalacao.zip"), std::string::npos);
    EXPECT_NE(env.Messages()[0].find("Motivo: conexão recusada (10061)"), std::string::npos) << env.Messages()[0];
    EXPECT_FALSE(OnDriveC("LunaroPaf/PafEcf.ini"));
}

TEST_F(ProcedureAgainstDemoServer, APackageThatCannotBeUnpackedIsAFailureWithItsReason) {
    Publish("banco.zip", "PK\x03\x04 this is not really an archive");
    env.ReplaceUi(std::make_unique<StoppingUi>());
    InstallChoices full;
    full.paf = false;
    ASSERT_EQ(Run(full), InstallOutcome::Stopped);
    const Requests messages = env.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_NE(messages[0].find("This archive is not a valid Zip archive"), std::string::npos) << messages[0];
    EXPECT_NE(messages.back().find("Não foi possível descompactar o pacote banco.zip"), std::string::npos)
        << messages.back();
    EXPECT_NE(messages.back().find("(11036)"), std::string::npos) << messages.back();
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_FALSE(OnDriveC("Lunaro/Banco/banco.zip"));  // deleted all the same
}

TEST_F(ProcedureAgainstDemoServer, ATamperedEngineOnTheServerIsNeverOpened) {
    const std::string marker = env.Root() + "/engine-ran";
    testkit::ScopedEnv markerVariable("LUNARO_TEST_MARKER", marker);
    Publish("ZipEngine190.dll", testkit::ReadFile(LUNARO_MARKER_ENGINE));
    env.ReplaceUi(std::make_unique<StoppingUi>());
    InstallChoices full;
    full.paf = false;
    ASSERT_EQ(Run(full), InstallOutcome::Stopped);
    EXPECT_FALSE(std::filesystem::exists(marker));
    const Requests messages = env.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.back().find("LunaroSoftInstalacao.zip"), std::string::npos) << messages.back();
    EXPECT_NE(messages.back().find("ZipEngine190.dll foi recusado: o SHA-256"), std::string::npos) << messages.back();
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
}

}  // namespace
}  // namespace lunaro::app

#include <gtest/gtest.h>

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

TEST_F(ProcedureAgainstDemoServer, FullInstallationFetchesEveryPackageIntoItsFolder) {
    ASSERT_EQ(Run(InstallChoices{}), InstallOutcome::Completed);
    EXPECT_EQ(server.Requests(), (Requests{"/ZipEngine190.dll 200", "/LunaroSoftInstalacao.zip 200",
                                           "/LunaroPafInstalacao.zip 200", "/GDS32.zip 200", "/banco.zip 200"}));
    for (const char* file : {"Lunaro/ZipEngine190.dll", "Lunaro/LunaroSoftInstalacao.zip",
                             "LunaroPaf/LunaroPafInstalacao.zip", "LunaroPaf/GDS32.zip", "Lunaro/Banco/banco.zip"})
        EXPECT_TRUE(OnDriveC(file)) << file;
    EXPECT_FALSE(OnDriveC("Lunaro/banco.zip"));
    EXPECT_EQ(testkit::ReadFile(env.OnDriveC("Lunaro/Banco/banco.zip")),
              testkit::ReadFile(server.PackagesFolder() + "/banco.zip"));
    EXPECT_FALSE(OnDriveC("Lunaro/banco.zip.part"));
    EXPECT_NE(testkit::ReadFile(env.DesktopFile("Ventrix.desktop")).find(env.OnDriveC("Lunaro/Atualizador.exe")),
              std::string::npos);
    EXPECT_EQ(env.Messages(), (Requests{"Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo"}));
    EXPECT_EQ(view.texts.back(), "Download Finalizado.");
}

TEST_F(ProcedureAgainstDemoServer, WorkstationsWriteTheirConnectionAndSkipAPresentEngine) {
    std::filesystem::create_directories(env.OnDriveC("Lunaro"));
    testkit::WriteFile(env.OnDriveC("Lunaro/ZipEngine190.dll"), "engine");
    InstallChoices network = Workstation(false);
    network.server = "SRV01";
    network.databasePath = "C:\\Dados\\BANCO.FDB";
    ASSERT_EQ(Run(network), InstallOutcome::Completed);
    EXPECT_EQ(server.Requests(), (Requests{"/LunaroSoftInstalacao.zip 200", "/GDS32.zip 200"}));
    EXPECT_TRUE(OnDriveC("Lunaro/GDS32.zip"));
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "SRV01:C:\\Dados\\BANCO.FDB");
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "NomeBanco1"), "Local");
    EXPECT_EQ(LerIni("c:\\Lunaro\\Atualizador.ini", "CONFIGURACAO", "INSTALACAO"), "N");

    InstallChoices cloud = Workstation(true);
    cloud.page = ConnectionPage::Cloud;
    cloud.companyAlias = "A&B&C";
    ASSERT_EQ(Run(cloud), InstallOutcome::Completed);
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "ABC");
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "NomeBanco1"), "&Local");
}

TEST_F(ProcedureAgainstDemoServer, PointOfSaleWithoutTheBackOfficeWritesTwoEmptyValues) {
    InstallChoices pos;
    pos.mode = InstallMode::PointOfSaleOnly;
    ASSERT_EQ(Run(pos), InstallOutcome::Completed);
    EXPECT_EQ(server.Requests(), (Requests{"/LunaroPafInstalacao.zip 200", "/GDS32.zip 200"}));
    const std::string ini = testkit::ReadFile(env.OnDriveC("LunaroPaf/PafEcf.ini"));
    EXPECT_EQ(ini, "[ConfiguracaoLocal]\r\nCaminhoBancoPAF=\r\nCaminhoBancoServer=\r\n");
    EXPECT_FALSE(OnDriveC("Lunaro"));
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
    EXPECT_FALSE(OnDriveC("Lunaro/Atualizador.ini"));
    EXPECT_TRUE(OnDriveC("Lunaro/LunaroSoftInstalacao.zip"));  // what came stays
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
    EXPECT_EQ(testkit::ReadFile(env.OnDriveC("Lunaro/LunaroSoftInstalacao.zip")), testkit::ReadFile(package));
    EXPECT_EQ(env.Messages().back(), "Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo");
}

TEST_F(ProcedureAgainstDemoServer, AStoppedServerIsReportedWithTheNetworkError) {
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

}  // namespace
}  // namespace lunaro::app

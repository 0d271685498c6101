#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/config_values.h"
#include "app/engine_admission.h"
#include "app/exit_codes.h"
#include "app/unattended_run.h"
#include "tests/app/demo_server.h"
#include "tests/app/installer_test_env.h"
#include "net/socket/ssl_plugin_choice.h"
#include "tests/support/peer_tinyproxy.h"
#include "tests/support/tls_test_certs.h"

namespace lunaro::app {
namespace {

class Unattended : public ::testing::Test {
protected:
    void SetUp() override { LUNARO_REQUIRE_PEER(server.Running(), server.Error()); }

    // Runs with the demo server, this test's drive C: and log, and the given
    // options; the pauses between attempts are recorded, not waited.
    int Run(std::vector<std::string> options) {
        options.insert(options.begin(), {"--very-silent", "--base-url=" + server.BaseUrl(),
                                         "--drive-c=" + env.OnDriveC(""), "--log=" + logFile});
        return RunUnattended(options, [this](std::chrono::seconds pause) { pauses.push_back(pause.count()); });
    }
    std::string Log() const { return testkit::ReadFile(logFile); }

    testkit::InstallerTestEnv env;
    testkit::DemoServer server{env.Root()};
    std::string logFile = env.Root() + "/install.log";
    std::vector<long> pauses;
};

TEST_F(Unattended, SucceedsThenRefusesASecondFullInstallation) {
    EXPECT_EQ(Run({"--mode=workstation", "--company=a&b&c"}), kExitSuccess);
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "ABC");
    EXPECT_TRUE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_NE(Log().find("Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo"), std::string::npos);
    EXPECT_TRUE(env.Messages().empty());  // the run's boxes went to the log only

    EXPECT_EQ(Run({}), kExitRefused);
    EXPECT_NE(Log().find("Já Existe uma instalação nesse computador"), std::string::npos);
    EXPECT_EQ(Run({"--mode=workstation", "--server=SRV01"}), kExitRefused);
}

TEST_F(Unattended, AFailedFetchIsRetriedWithGrowingPausesThenGivenUp) {
    std::filesystem::remove(server.PackagesFolder() + "/banco.zip");
    EXPECT_EQ(Run({"--retries=2", "--no-paf"}), kExitFetchFailed);
    EXPECT_EQ(pauses, (std::vector<long>{1, 2}));
    EXPECT_EQ(server.Requests().back(), "/banco.zip 404");
    EXPECT_NE(Log().find("banco.zip"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
}

TEST_F(Unattended, AnInterruptedInstallationWaitsForResumeWhichFinishesItAsStarted) {
    const std::string banco = server.PackagesFolder() + "/banco.zip";
    const std::string bytes = testkit::ReadFile(banco);
    std::filesystem::remove(banco);
    EXPECT_EQ(Run({"--retries=0", "--no-paf"}), kExitFetchFailed);
    testkit::WriteFile(banco, bytes);

    EXPECT_EQ(Run({}), kExitInterrupted);
    EXPECT_NE(Log().find("--resume"), std::string::npos);
    const size_t before = server.Requests().size();
    // The PAF packages were not part of what was started, so they stay out.
    EXPECT_EQ(Run({"--resume", "--retries=0"}), kExitSuccess) << Log();
    const std::vector<std::string> requests = server.Requests();
    EXPECT_EQ(std::vector<std::string>(requests.begin() + static_cast<long>(before), requests.end()),
              std::vector<std::string>{"/banco.zip 200"});
    EXPECT_TRUE(std::filesystem::exists(env.OnDriveC("Lunaro/Banco/BANCO.FDB")));
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/Banco/banco.zip")));
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("LunaroPaf")));
    EXPECT_TRUE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));

    EXPECT_EQ(Run({"--resume"}), kExitRefused);  // finished: nothing to continue
}

TEST_F(Unattended, APackageThatCannotBeUnpackedHasItsOwnCodeAndLeavesNoShortcut) {
    testkit::WriteFile(server.PackagesFolder() + "/GDS32.zip", "not an archive at all, just text");
    EXPECT_EQ(Run({"--retries=1", "--mode=workstation", "--server=SRV01", "--db-path=C:\\B.FDB"}), kExitUnpackFailed);
    EXPECT_NE(Log().find("Não foi possível descompactar o pacote GDS32.zip"), std::string::npos) << Log();
    EXPECT_EQ(server.Requests().back(), "/GDS32.zip 200");
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/GDS32.zip")));
    EXPECT_EQ(Run({}), kExitInterrupted);  // it waits for --resume like any other stop
}

TEST_F(Unattended, AConfiguredDigestAdmitsAnotherEngine) {
    testkit::ScopedEnv noDigest(kEngineDigestVariable, std::nullopt);
    EXPECT_EQ(Run({"--mode=pos", "--retries=0"}), kExitUnpackFailed);  // nothing trusted
    EXPECT_EQ(Run({"--mode=pos", "--retries=0", "--engine-sha256=" + *FileSha256(LUNARO_UNPACKING_ENGINE)}),
              kExitSuccess)
        << Log();
    EXPECT_EQ(LerIni("c:\\LunaroPaf\\PafEcf.ini", "ConfiguracaoLocal", "Terminal"), "001");
    EXPECT_EQ(Run({"--engine-sha256=12ab"}), kExitBadArguments);
}

#ifdef LUNARO_BUILT_ENGINE
TEST_F(Unattended, TheBuiltEngineUnpacksEveryPackageOfAFullInstallation) {
    std::filesystem::copy_file(LUNARO_BUILT_ENGINE, server.PackagesFolder() + "/ZipEngine190.dll",
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(Run({"--retries=0", "--engine-sha256=" + *FileSha256(LUNARO_BUILT_ENGINE)}), kExitSuccess) << Log();
    for (const char* file : {"Lunaro/CnfComercio.ini", "Lunaro/Atualizador.exe", "LunaroPaf/PafEcf.ini",
                             "LunaroPaf/gds32.dll", "Lunaro/Banco/BANCO.FDB"})
        EXPECT_TRUE(std::filesystem::exists(env.OnDriveC(file))) << file;
    for (const char* archive : {"Lunaro/LunaroSoftInstalacao.zip", "LunaroPaf/GDS32.zip", "Lunaro/Banco/banco.zip"})
        EXPECT_FALSE(std::filesystem::exists(env.OnDriveC(archive))) << archive;
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "Empresa", "Nome"), "Empresa de Demonstração");
}
#endif

TEST_F(Unattended, ResumeWithNothingInterruptedInstallsAsUsual) {
    EXPECT_EQ(Run({"--resume", "--mode=workstation", "--server=SRV01", "--db-path=C:\\B.FDB"}), kExitSuccess);
    EXPECT_EQ(LerIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1"), "SRV01:C:\\B.FDB");
}

TEST_F(Unattended, ARefusedConfigurationWriteHasItsOwnCode) {
    std::filesystem::create_directories(env.OnDriveC("LunaroPaf/PafEcf.ini"));
    EXPECT_EQ(Run({"--mode=pos"}), kExitConfigWriteFailed);
    EXPECT_NE(Log().find("Unable to write to c:\\LunaroPaf\\PafEcf.ini"), std::string::npos) << Log();
}

TEST_F(Unattended, BadArgumentsAndHelp) {
    EXPECT_EQ(Run({"--mode=everything"}), kExitBadArguments);
    EXPECT_EQ(RunUnattended({"--silent", "--log=" + env.Root() + "/no/such/folder/x.log"}, nullptr), kExitBadArguments);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunUnattended({"--help"}, nullptr), kExitSuccess);
    const std::string help = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(help.find("--very-silent"), std::string::npos);
    EXPECT_NE(help.find("5  a configuration value could not be written"), std::string::npos);
    EXPECT_NE(help.find("--resume"), std::string::npos);
    EXPECT_TRUE(server.Requests().empty());
}

// A proxy variable set for one test, and removed after it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) { ::setenv(name, value.c_str(), 1); }
    ~ScopedVariable() { ::unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
};

TEST_F(Unattended, EnvironmentProxyIsFollowedAndTheProxyOptionWins) {
    testkit::TinyproxyPeer proxy({{}, "u", "p"});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());
    const std::string at = "127.0.0.1:" + std::to_string(proxy.Port());
    // Without credentials the proxy answers 407, which proves the way taken.
    const ScopedVariable variable("http_proxy", "http://" + at);
    EXPECT_EQ(Run({"--mode=pos", "--retries=0"}), kExitFetchFailed);
    EXPECT_NE(Log().find("407"), std::string::npos) << Log();
    EXPECT_TRUE(server.Requests().empty());

    EXPECT_EQ(Run({"--resume", "--retries=0", "--proxy=http://u:p@" + at}), kExitSuccess) << Log();
    EXPECT_FALSE(server.Requests().empty());
}

TEST_F(Unattended, GarbageInAProxyVariableIsReportedNotFollowed) {
    const ScopedVariable variable("HTTP_PROXY", "http://127.0.0.1:99999");
    EXPECT_EQ(Run({"--mode=pos", "--retries=0"}), kExitFetchFailed);
    EXPECT_NE(Log().find("HTTP_PROXY"), std::string::npos) << Log();
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(Unattended, HttpsServerOfAnUnknownCaIsTrustedOnlyWithCacert) {
    LUNARO_REQUIRE_PEER(net::TLSModuleProblem().empty(), "the TLS module is not loadable: " + net::TLSModuleProblem());
    const testkit::TempDir certs;
    LUNARO_REQUIRE_PEER(testkit::MakeTestCertificates(certs.Path()), "the openssl command could not make certificates");
    const testkit::NginxServer tls(testkit::TlsNginxOptions(server.PackagesFolder(), certs.Path(), "good"));
    LUNARO_REQUIRE_PEER(tls.Running(), tls.Error());
    const std::string baseUrl = "--base-url=https://127.0.0.1:" + std::to_string(tls.Port()) + "/";

    EXPECT_EQ(Run({baseUrl, "--mode=pos", "--retries=0"}), kExitFetchFailed);
    EXPECT_NE(Log().find("certificate verification failed"), std::string::npos) << Log();
    EXPECT_EQ(Run({baseUrl, "--resume", "--retries=0", "--cacert=" + certs.File("ca.pem")}), kExitSuccess) << Log();
    EXPECT_TRUE(std::filesystem::exists(env.OnDriveC("LunaroPaf")));
}

}  // namespace
}  // namespace lunaro::app

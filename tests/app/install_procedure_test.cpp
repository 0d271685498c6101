#include "app/install_procedure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "app/config_values.h"
#include "platform/files.h"
#include "tests/app/installer_test_env.h"

namespace lunaro::app {
namespace {

using testkit::InstallerTestEnv;
using Fetch = std::pair<std::string, std::string>;

// Records the packages asked for, making their folders as the fetch step
// does. (The order against a real server is the end-to-end tests' subject.)
class RecordingSource : public PackageSource {
public:
    bool BaixarArquivo(const std::string& folder, const std::string& name) override {
        fetched.emplace_back(folder, name);
        platform::ForceDirectories(folder);
        return true;
    }
    std::vector<Fetch> fetched;
};

InstallChoices Choices(InstallMode mode, bool paf) {
    InstallChoices choices;
    choices.mode = mode;
    choices.paf = paf;
    return choices;
}

TEST(InstallProcedure, PointOfSaleCarriesOverTheBackOfficesDatabasePath) {
    InstallerTestEnv env;
    std::filesystem::create_directories(env.OnDriveC("Lunaro"));
    GravarIni("c:\\Lunaro\\CnfComercio.ini", "ListaServidores", "CaminhoBanco1", "SRV:C:\\B.FDB");
    RecordingSource source;
    EXPECT_EQ(RunInstallProcedure(Choices(InstallMode::PointOfSaleOnly, true), source), InstallOutcome::Completed);
    // The engine that unpacks the packages comes first when it is absent.
    const std::vector<Fetch> expected = {{"c:\\Lunaro\\", "ZipEngine190.dll"},
                                         {"c:\\LunaroPaf\\", "LunaroPafInstalacao.zip"},
                                         {"c:\\LunaroPaf\\", "GDS32.zip"}};
    EXPECT_EQ(source.fetched, expected);
    EXPECT_EQ(LerIni("c:\\LunaroPaf\\PafEcf.ini", "ConfiguracaoLocal", "CaminhoBancoPAF"), "SRV:C:\\B.FDB");
    EXPECT_EQ(LerIni("c:\\LunaroPaf\\PafEcf.ini", "ConfiguracaoLocal", "CaminhoBancoServer"), "SRV:C:\\B.FDB");
}

}  // namespace
}  // namespace lunaro::app

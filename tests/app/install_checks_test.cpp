#include "app/install_checks.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/installer_test_env.h"

namespace lunaro::app {
namespace {

using testkit::InstallerTestEnv;

InstallChoices Workstation(ConnectionPage page, std::string server, std::string path, std::string alias) {
    InstallChoices choices;
    choices.mode = InstallMode::Workstation;
    choices.page = page;
    choices.server = std::move(server);
    choices.databasePath = std::move(path);
    choices.companyAlias = std::move(alias);
    return choices;
}

TEST(CheckInstall, AnExistingFolderEvenEmptyRefusesAllButThePointOfSale) {
    InstallerTestEnv env;
    EXPECT_FALSE(CheckInstall(InstallChoices{}));
    std::filesystem::create_directories(env.OnDriveC("LUNARO"));
    const auto refusal = CheckInstall(InstallChoices{});
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message, "Já Existe uma instalação nesse computador, não pode ser instalada novamente");
    EXPECT_EQ(refusal->focus, FocusTarget::None);
    EXPECT_TRUE(CheckInstall(Workstation(ConnectionPage::Network, "S", "P", "")));

    InstallChoices pos;
    pos.mode = InstallMode::PointOfSaleOnly;
    EXPECT_FALSE(CheckInstall(pos));
}

TEST(CheckInstall, NetworkWorkstationNeedsServerAndPathAndFocusesTheServer) {
    InstallerTestEnv env;
    for (const auto& [server, path] : {std::pair{"SRV01", ""}, std::pair{"", "C:\\Dados\\BANCO.FDB"}, std::pair{"", ""}}) {
        const auto refusal = CheckInstall(Workstation(ConnectionPage::Network, server, path, "ALIAS"));
        ASSERT_TRUE(refusal) << server << "|" << path;
        EXPECT_EQ(refusal->message,
                  "Para instalação de Estação em Rede, necessário informar o Servidor e Caminho do Banco");
        EXPECT_EQ(refusal->focus, FocusTarget::Server);
    }
    EXPECT_FALSE(CheckInstall(Workstation(ConnectionPage::Network, " ", " ", "")));  // spaces are text
}

TEST(CheckInstall, CloudWorkstationNeedsTheAlias) {
    InstallerTestEnv env;
    const auto refusal = CheckInstall(Workstation(ConnectionPage::Cloud, "SRV01", "P", ""));
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message, "Para instalação de Estação nas Núvens, necessário informar o Alias da Empresa");
    EXPECT_EQ(refusal->focus, FocusTarget::CompanyAlias);
    EXPECT_FALSE(CheckInstall(Workstation(ConnectionPage::Cloud, "", "", " ")));
}

}  // namespace
}  // namespace lunaro::app

#include "app/install_procedure.h"

#include "app/config_values.h"
#include "app/desktop_shortcut.h"
#include "app/install_names.h"
#include "app/installer_message.h"
#include "app/text_replace.h"
#include "platform/files.h"

namespace lunaro::app {

namespace {

constexpr const char* kDatabaseListSection = "ListaServidores";

InstallOutcome RunPointOfSaleOnly(PackageSource& packages) {
    if (!packages.BaixarArquivo(names::kPafFolder, names::kPafPackage)) return InstallOutcome::Stopped;
    if (!packages.BaixarArquivo(names::kPafFolder, names::kDatabaseClientPackage)) return InstallOutcome::Stopped;
    // The point of sale reaches the database the back office already uses.
    for (const char* key : {"CaminhoBancoPAF", "CaminhoBancoServer"})
        GravarIni(names::kPafConfig, "ConfiguracaoLocal", key,
                  LerIni(names::kMainConfig, kDatabaseListSection, "CaminhoBanco1"));
    ShowInstallerMessage(kPointOfSaleDoneMessage);
    return InstallOutcome::Completed;
}

void WriteWorkstationConnection(const InstallChoices& choices) {
    GravarIni(names::kUpdaterConfig, "CONFIGURACAO", "INSTALACAO", "N");
    if (choices.page == ConnectionPage::Network) {
        GravarIni(names::kMainConfig, kDatabaseListSection, "NomeBanco1", "Local");
        GravarIni(names::kMainConfig, kDatabaseListSection, "CaminhoBanco1",
                  choices.server + ":" + choices.databasePath);
    } else {
        GravarIni(names::kMainConfig, kDatabaseListSection, "NomeBanco1", "&Local");
        GravarIni(names::kMainConfig, kDatabaseListSection, "CaminhoBanco1",
                  SubstituirTexto(choices.companyAlias, "&", ""));
    }
}

InstallOutcome RunWithMainSystem(const InstallChoices& choices, PackageSource& packages) {
    platform::ForceDirectories(names::kMainFolder);
    if (!platform::FileExists(names::kEngineLibraryPath) &&
        !packages.BaixarArquivo(names::kMainFolder, names::kEngineLibrary))
        return InstallOutcome::Stopped;
    if (!packages.BaixarArquivo(names::kMainFolder, names::kMainPackage)) return InstallOutcome::Stopped;
    if (choices.paf) {
        if (!packages.BaixarArquivo(names::kPafFolder, names::kPafPackage)) return InstallOutcome::Stopped;
        if (!packages.BaixarArquivo(names::kPafFolder, names::kDatabaseClientPackage)) return InstallOutcome::Stopped;
    }
    if (choices.mode == InstallMode::Full) {
        if (!packages.BaixarArquivo(names::kDatabaseFolder, names::kDatabasePackage)) return InstallOutcome::Stopped;
    } else {
        if (!packages.BaixarArquivo(names::kMainFolder, names::kDatabaseClientPackage)) return InstallOutcome::Stopped;
        WriteWorkstationConnection(choices);
    }
    CriarAtalho(names::kShortcutTarget, "", names::kShortcutWorkingFolder, names::kShortcutName, "",
                kDesktopLocation);
    ShowInstallerMessage(kShortcutDoneMessage);
    return InstallOutcome::Completed;
}

}  // namespace

InstallOutcome RunInstallProcedure(const InstallChoices& choices, PackageSource& packages) {
    if (choices.mode == InstallMode::PointOfSaleOnly) return RunPointOfSaleOnly(packages);
    return RunWithMainSystem(choices, packages);
}

}  // namespace lunaro::app

#include "app/install_procedure.h"

#include "app/config_values.h"
#include "app/desktop_shortcut.h"
#include "app/install_names.h"
#include "app/install_mark.h"
#include "app/installer_message.h"
#include "app/text_replace.h"
#include "platform/files.h"

namespace lunaro::app {

namespace {

constexpr const char* kDatabaseListSection = "ListaServidores";

// The packages are unpacked by the engine in the main folder, so every mode
// needs it there.
bool FetchEngineIfAbsent(PackageSource& packages) {
    return platform::FileExists(names::kEngineLibraryPath) ||
           packages.BaixarArquivo(names::kMainFolder, names::kEngineLibrary);
}

InstallOutcome RunPointOfSaleOnly(PackageSource& packages) {
    if (!FetchEngineIfAbsent(packages)) return InstallOutcome::Stopped;
    if (!packages.BaixarArquivo(names::kPafFolder, names::kPafPackage)) return InstallOutcome::Stopped;
    if (!packages.BaixarArquivo(names::kPafFolder, names::kDatabaseClientPackage)) return InstallOutcome::Stopped;
    // The point of sale reaches the database the back office already uses.
    for (const char* key : {"CaminhoBancoPAF", "CaminhoBancoServer"})
        GravarIni(names::kPafConfig, "ConfiguracaoLocal", key,
                  LerIni(names::kMainConfig, kDatabaseListSection, "CaminhoBanco1"));
    ShowInstallerMessage(kPointOfSaleDoneMessage);
    return InstallOutcome::Completed;
}

// Fetches what the mark does not have in place yet, and marks what arrives.
class MarkedPackages : public PackageSource {
public:
    explicit MarkedPackages(PackageSource& inner) : inner_(inner) {}
    bool BaixarArquivo(const std::string& folder, const std::string& name) override {
        if (PackageInPlace(folder, name)) return true;
        if (!inner_.BaixarArquivo(folder, name)) return false;
        MarkPackageInPlace(folder, name);
        return true;
    }

private:
    PackageSource& inner_;
};

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

InstallOutcome RunWithMainSystem(const InstallChoices& choices, PackageSource& source, InstallStart start) {
    if (start == InstallStart::Fresh) BeginInstallMark(choices);
    MarkedPackages packages(source);
    platform::ForceDirectories(names::kMainFolder);
    if (!FetchEngineIfAbsent(packages)) return InstallOutcome::Stopped;
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
    ClearInstallMark();
    ShowInstallerMessage(kShortcutDoneMessage);
    return InstallOutcome::Completed;
}

}  // namespace

InstallOutcome RunInstallProcedure(const InstallChoices& choices, PackageSource& packages, InstallStart start) {
    if (choices.mode == InstallMode::PointOfSaleOnly) return RunPointOfSaleOnly(packages);
    return RunWithMainSystem(choices, packages, start);
}

}  // namespace lunaro::app

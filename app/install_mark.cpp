#include "app/install_mark.h"

#include "platform/files.h"
#include "platform/ini_file.h"

namespace lunaro::app {

namespace {

constexpr const char* kChoicesSection = "Instalacao";
constexpr const char* kPackagesSection = "PacotesInstalados";
constexpr const char* kInPlace = "1";

constexpr const char* kModeKey = "Modo";
constexpr const char* kFull = "Completa";
constexpr const char* kWorkstation = "Estacao";

// The reader trims spaces and one pair of enclosing quotes; quoting every
// value keeps a server name of spaces exactly as it was typed.
std::string Quoted(const std::string& value) { return "\"" + value + "\""; }

void Write(const std::string& file, const char* section, const std::string& key, const std::string& value) {
    platform::WriteProfileStringOrRaise(file, section, key, Quoted(value));
}

std::string Read(const char* section, const std::string& key) {
    return platform::ReadProfileString(kInstallMarkFile, section, key, "");
}

std::string PackageKey(const std::string& folder, const std::string& name) { return folder + name; }

}  // namespace

std::optional<InstallChoices> InterruptedInstallChoices() {
    if (!platform::FileExists(kInstallMarkFile)) return std::nullopt;
    InstallChoices choices;
    const std::string mode = Read(kChoicesSection, kModeKey);
    if (mode == kFull)
        choices.mode = InstallMode::Full;
    else if (mode == kWorkstation)
        choices.mode = InstallMode::Workstation;
    else
        return std::nullopt;
    choices.paf = Read(kChoicesSection, "Paf") == "1";
    choices.page = Read(kChoicesSection, "Pagina") == "Nuvens" ? ConnectionPage::Cloud : ConnectionPage::Network;
    choices.server = Read(kChoicesSection, "Servidor");
    choices.databasePath = Read(kChoicesSection, "Caminho");
    choices.companyAlias = Read(kChoicesSection, "Empresa");
    return choices;
}

void BeginInstallMark(const InstallChoices& choices) {
    // Built under another name and renamed, so a half-written mark (the
    // mode but not the server, say) never exists under the real one.
    const std::string draft = std::string(kInstallMarkFile) + ".novo";
    platform::ForceDirectories(platform::ExtractFilePath(kInstallMarkFile));
    platform::DeleteFile(draft);
    Write(draft, kChoicesSection, kModeKey, choices.mode == InstallMode::Full ? kFull : kWorkstation);
    Write(draft, kChoicesSection, "Paf", choices.paf ? "1" : "0");
    Write(draft, kChoicesSection, "Pagina", choices.page == ConnectionPage::Cloud ? "Nuvens" : "Rede");
    Write(draft, kChoicesSection, "Servidor", choices.server);
    Write(draft, kChoicesSection, "Caminho", choices.databasePath);
    Write(draft, kChoicesSection, "Empresa", choices.companyAlias);
    if (!platform::RenameFile(draft, kInstallMarkFile))
        throw platform::EIniFileException("Unable to write to " + std::string(kInstallMarkFile));
}

bool PackageInPlace(const std::string& folder, const std::string& name) {
    return Read(kPackagesSection, PackageKey(folder, name)) == kInPlace;
}

void MarkPackageInPlace(const std::string& folder, const std::string& name) {
    Write(kInstallMarkFile, kPackagesSection, PackageKey(folder, name), kInPlace);
}

void ClearInstallMark() { platform::DeleteFile(kInstallMarkFile); }

}  // namespace lunaro::app

#include "app/install_checks.h"

#include "app/install_mark.h"
#include "app/install_names.h"
#include "platform/files.h"

namespace lunaro::app {

std::optional<InstallRefusal> CheckInstall(const InstallChoices& choices) {
    if (choices.mode == InstallMode::PointOfSaleOnly) return std::nullopt;
    if (auto interrupted = InterruptedInstallChoices())
        return InstallRefusal{kInterruptedMessage, FocusTarget::None, std::move(interrupted)};
    if (platform::FileExists(names::kInstalledMarkerFile) || platform::DirectoryExists(names::kInstalledMarkerFolder))
        return InstallRefusal{kAlreadyInstalledMessage, FocusTarget::None, std::nullopt};
    if (choices.mode != InstallMode::Workstation) return std::nullopt;
    if (choices.page == ConnectionPage::Network) {
        if (choices.server.empty() || choices.databasePath.empty())
            return InstallRefusal{kNetworkFieldsMessage, FocusTarget::Server, std::nullopt};
    } else if (choices.companyAlias.empty()) {
        return InstallRefusal{kCloudAliasMessage, FocusTarget::CompanyAlias, std::nullopt};
    }
    return std::nullopt;
}

}  // namespace lunaro::app

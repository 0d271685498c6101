#pragma once
// What the operator chose in the window (or on the command line): the
// procedure and the checks read only this.
#include <string>

namespace lunaro::app {

enum class InstallMode { Full, Workstation, PointOfSaleOnly };

// The workstation reaches its database either on the local network ("Rede")
// or hosted in the cloud ("Nuvens").
enum class ConnectionPage { Network, Cloud };

struct InstallChoices {
    InstallMode mode = InstallMode::Full;
    bool paf = true;
    ConnectionPage page = ConnectionPage::Network;
    std::string server;
    std::string databasePath;
    std::string companyAlias;
};

}  // namespace lunaro::app

#pragma once
// The mark of an installation in progress: a small INI file beside the main
// folder (not inside it, so it exists before anything else of the
// installation does) holding the choices the installation was started with
// and the packages already in place. It is written before the first folder
// is made and removed once the last step is done, so its presence means
// that an installation was interrupted and can be continued with the same
// choices. Every write replaces the whole file in one rename: a run killed
// at any moment leaves either the old mark or the new one.
#include <optional>
#include <string>

#include "app/install_choices.h"

namespace lunaro::app {

inline constexpr const char* kInstallMarkFile = "c:\\LunaroInstalacao.ini";

// The choices of the interrupted installation, or nothing when there is no
// mark (or one this program did not write).
std::optional<InstallChoices> InterruptedInstallChoices();

// Starts a new mark for these choices, with no package in place yet.
// Raises platform::EIniFileException when the mark cannot be written.
void BeginInstallMark(const InstallChoices& choices);

bool PackageInPlace(const std::string& folder, const std::string& name);
// Raises platform::EIniFileException when the mark cannot be written.
void MarkPackageInPlace(const std::string& folder, const std::string& name);

// The installation is complete: the mark goes.
void ClearInstallMark();

}  // namespace lunaro::app

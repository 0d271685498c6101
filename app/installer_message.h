#pragma once
// The installer's plain messages: a modal box with an OK button under the
// application's title, shown through the user-interface service.
#include <string>

namespace lunaro::app {

void ShowInstallerMessage(const std::string& text);

// Told after the operator stopped at a package that could not be fetched.
std::string InstallStoppedText(const std::string& missingPackage);

// The box shown for an error nobody else handled, with its message text.
void ShowInstallerError(const std::string& text);

}  // namespace lunaro::app

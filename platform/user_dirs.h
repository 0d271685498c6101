#pragma once
// The user directories (desktop, documents, music, ...) as the desktop
// environment's user-dirs.dirs file declares them.
#include <optional>
#include <string>

namespace lunaro::platform {

// The folder for a user-directory key such as "DESKTOP" or "DOCUMENTS":
// the XDG_<key>_DIR line of $XDG_CONFIG_HOME/user-dirs.dirs, else the
// XDG_<key>_DIR environment variable, else nothing. "$HOME" at the start is
// replaced by the home folder; relative paths are ignored.
std::optional<std::string> UserDirectory(const std::string& key);

}  // namespace lunaro::platform

#pragma once
// The current user's special folders, looked up by the value names of the
// Windows "Shell Folders" key and answered with this host's user folders:
//   Desktop, Personal, Templates, My Music, My Pictures, My Video
//       the user directories (user-dirs.dirs under $XDG_CONFIG_HOME, or the
//       $XDG_<NAME>_DIR variables); Desktop falls back to ~/Desktop, the
//       others to the home folder
//   AppData -> $XDG_CONFIG_HOME, Local AppData -> $XDG_DATA_HOME,
//   Cache -> $XDG_CACHE_HOME, Startup -> $XDG_CONFIG_HOME/autostart,
//   Programs and Start Menu -> $XDG_DATA_HOME/applications,
//   Fonts -> $XDG_DATA_HOME/fonts
//   Favorites, Recent, SendTo, NetHood, PrintHood, History, Cookies,
//   Administrative Tools -> $XDG_DATA_HOME/lunaro/shell/<name>, since this
//       host has no such folders of its own.
// The folders are reported, not created.
#include <optional>
#include <string>

namespace lunaro::platform {

// The folder's host path without a trailing separator, or nothing for a
// value that is absent (the "Common ..." values and unknown names). Names
// match ignoring ASCII letter case, as registry value names do.
std::optional<std::string> ShellFolderPath(const std::string& valueName);

}  // namespace lunaro::platform

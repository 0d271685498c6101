#pragma once
// Drive mapping: the installer and its libraries speak Windows paths
// ("c:\Lunaro\Banco\"); this module turns them into host paths.
//
// Drive letter X maps to $LUNARO_DRIVE_X when set, otherwise to
// $XDG_DATA_HOME/lunaro/drive_x (default ~/.local/share/lunaro/drive_x).
// Backslashes become '/', repeated separators collapse (a trailing separator
// stays, as one '/'), and each component that already exists on disk is
// matched without regard to letter case, so "c:\lunaro" finds an existing
// "C:\Lunaro". Components that do not exist keep the case given. Below a drive
// root, "." components are dropped and ".." goes up one level but never above
// the root, as on a Windows drive. Host absolute paths ("/tmp/x") and relative
// paths pass through with only the separator rules applied.
#include <string>

namespace lunaro::platform {

std::string HostPath(const std::string& path);

// The host folder that a drive letter maps to (no case resolution, no
// trailing separator). A character that is not a letter gives "".
std::string DriveRoot(char driveLetter);

// True when the text starts with a drive letter and a colon.
bool HasDriveLetter(const std::string& path);

}  // namespace lunaro::platform

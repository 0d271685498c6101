#pragma once
// The desktop's trash as freedesktop.org defines it: a file moved to
// $XDG_DATA_HOME/Trash/files with its original path and the time of the
// deletion in Trash/info/<name>.trashinfo, so that a file manager can put
// it back.
#include <string>

namespace lunaro::archive {

// Moves the file or folder at the absolute host path into the trash.
// 0 when done, else the system's error number (the file stays where it was).
int MoveToTrash(const std::string& path);

// The trash folder of the current user.
std::string TrashFolder();

}  // namespace lunaro::archive

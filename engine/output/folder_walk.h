#pragma once
// Walking down from the base folder one component at a time, each opened
// relative to its parent and never through a symbolic link, so that a link
// planted in the destination cannot redirect a write anywhere else.
#include "engine/output/owned_fd.h"

#include <string>
#include <vector>

namespace lunaro::engine {

enum class TWalkResult : unsigned char {
    Reached,    // every component is a real folder
    Missing,    // a component does not exist (and creation was not asked)
    Blocked,    // a component is a link, a file or something else
    Failed,     // the system refused (permissions, no space, ...)
};

// True for a name that stays inside its folder: not empty, not "." or "..",
// no "/" and no NUL. The names arrive already checked; this is the last line.
bool PlainComponent(const std::string& name);

// Opens base/folders[0]/.../folders[n-1] as a directory descriptor. With
// create, missing folders are made (0755). error describes any result other
// than Reached.
TWalkResult WalkFolders(int baseFd, const std::vector<std::string>& folders, bool create,
                        TOwnedFd& folder, std::string& error);

}  // namespace lunaro::engine

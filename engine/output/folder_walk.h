#pragma once
// Walking down from the base folder one component at a time, each opened
// relative to its parent and never through a symbolic link, so that a link
// planted in the destination cannot redirect a write anywhere else.
#include "engine/output/owned_fd.h"

#include <string>

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

// Opens parent/name as a directory descriptor, never through a link. With
// create, a missing folder is made (0755), and made says so. walked names
// the folder in messages (the path from the base, ending with "/"); error
// describes any result other than Reached.
TWalkResult StepInto(int parentFd, const std::string& name, const std::string& walked, bool create,
                     TOwnedFd& folder, bool& made, std::string& error);

}  // namespace lunaro::engine

#pragma once
// What already sits at a name inside an opened folder, looked at without
// following a link.
#include "engine/output/destination.h"

#include <string>

namespace lunaro::engine {

TExisting LookAtName(int folderFd, const std::string& name);

// true when a file may take this name: nothing is there, or a regular file
// that will be replaced. Otherwise false with the reason.
bool NameTakesFile(int folderFd, const std::string& name, std::string& error);

}  // namespace lunaro::engine

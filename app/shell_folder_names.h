#pragma once
// Special-folder location codes and the "Shell Folders" value each selects.
#include <cstdint>
#include <string>

namespace lunaro::app {

// Codes 0, 1 and every code above 19 select the desktop.
std::string ShellFolderValueName(uint8_t locationCode);

}  // namespace lunaro::app

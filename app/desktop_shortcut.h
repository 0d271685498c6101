#pragma once
// A shortcut to a program in one of the user's special folders.
#include <cstdint>
#include <string>

namespace lunaro::app {

inline constexpr uint8_t kDesktopLocation = 1;

// Creates <special folder>\<subFolder>\<name> as a launcher of target started
// in workingFolder with the arguments. The sub-folder is created when missing
// (one level). Failures are silent: the installer's closing message does not
// depend on the shortcut.
void CriarAtalho(const std::string& target, const std::string& arguments, const std::string& workingFolder,
                 const std::string& name, const std::string& subFolder, uint8_t locationCode);

}  // namespace lunaro::app

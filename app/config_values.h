#pragma once
// Single values in the installed applications' INI configuration files.
#include <string>

namespace lunaro::app {

// The stored value, or "" when the file, the section or the key is missing.
std::string LerIni(const std::string& file, const std::string& section, const std::string& key);

// Stores the value, creating file, section and key as needed (the folder
// must exist). A refused write raises platform::EIniFileException with
// "Unable to write to <file>".
void GravarIni(const std::string& file, const std::string& section, const std::string& key, const std::string& value);

}  // namespace lunaro::app

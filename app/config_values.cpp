#include "app/config_values.h"

#include "platform/ini_file.h"

namespace lunaro::app {

std::string LerIni(const std::string& file, const std::string& section, const std::string& key) {
    return platform::ReadProfileString(file, section, key, "");
}

void GravarIni(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
    platform::WriteProfileStringOrRaise(file, section, key, value);
}

}  // namespace lunaro::app

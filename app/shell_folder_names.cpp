#include "app/shell_folder_names.h"

#include <array>

namespace lunaro::app {

std::string ShellFolderValueName(uint8_t locationCode) {
    static constexpr std::array<const char*, 20> kNames = {
        "Desktop",   "Desktop",   "Templates", "AppData",  "Start Menu", "Programs",      "Startup",
        "Fonts",     "SendTo",    "Recent",    "Favorites", "Cache",     "Cookies",       "History",
        "NetHood",   "Personal",  "PrintHood", "Local AppData", "My Pictures", "Administrative Tools",
    };
    return locationCode < kNames.size() ? kNames[locationCode] : "Desktop";
}

}  // namespace lunaro::app

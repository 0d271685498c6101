#include "app/desktop_shortcut.h"

#include <filesystem>
#include <system_error>

#include "app/shell_folder_names.h"
#include "platform/paths.h"
#include "platform/shortcut.h"
#include "platform/special_folders.h"

namespace lunaro::app {

void CriarAtalho(const std::string& target, const std::string& arguments, const std::string& workingFolder,
                 const std::string& name, const std::string& subFolder, uint8_t locationCode) {
    platform::TShellLink link;
    link.SetArguments(arguments);
    link.SetPath(target);
    link.SetWorkingDirectory(workingFolder);

    // Without the special folder the link path would start at the root of the
    // file system; nothing is written then, as when the save itself fails.
    const std::string base = platform::ShellFolderPath(ShellFolderValueName(locationCode)).value_or("");
    if (base.empty()) return;

    const std::string folder = base + "\\" + subFolder;
    std::error_code ignored;
    std::filesystem::create_directory(platform::HostPath(folder), ignored);
    link.Save(folder + "\\" + name + ".lnk");
}

}  // namespace lunaro::app

#include "platform/special_folders.h"

#include <array>

#include "platform/environment.h"
#include "platform/text_case.h"
#include "platform/user_dirs.h"

namespace lunaro::platform {

namespace {

std::string ConfigHome() { return UserBaseFolder("XDG_CONFIG_HOME", ".config"); }
std::string DataHome() { return UserBaseFolder("XDG_DATA_HOME", ".local/share"); }

std::string UserDirectoryOr(const std::string& key, const std::string& fallback) {
    return UserDirectory(key).value_or(fallback);
}

constexpr std::array<const char*, 8> kWindowsOnlyFolders = {
    "Favorites", "Recent", "SendTo", "NetHood", "PrintHood", "History", "Cookies", "Administrative Tools"};

std::optional<std::string> FolderFor(const std::string& valueName) {
    const auto is = [&](const char* name) { return SameTextAscii(valueName, name); };
    if (is("Desktop")) return UserDirectoryOr("DESKTOP", InHomeFolder("Desktop"));
    if (is("Personal")) return UserDirectoryOr("DOCUMENTS", HomeFolder());
    if (is("Templates")) return UserDirectoryOr("TEMPLATES", HomeFolder());
    if (is("My Music")) return UserDirectoryOr("MUSIC", HomeFolder());
    if (is("My Pictures")) return UserDirectoryOr("PICTURES", HomeFolder());
    if (is("My Video")) return UserDirectoryOr("VIDEOS", HomeFolder());
    if (is("AppData")) return ConfigHome();
    if (is("Local AppData")) return DataHome();
    if (is("Cache")) return UserBaseFolder("XDG_CACHE_HOME", ".cache");
    if (is("Startup")) return ConfigHome() + "/autostart";
    if (is("Programs") || is("Start Menu")) return DataHome() + "/applications";
    if (is("Fonts")) return DataHome() + "/fonts";
    for (const char* name : kWindowsOnlyFolders)
        if (is(name)) return DataHome() + "/lunaro/shell/" + name;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ShellFolderPath(const std::string& valueName) {
    std::optional<std::string> folder = FolderFor(valueName);
    while (folder && folder->size() > 1 && folder->back() == '/') folder->pop_back();
    return folder;
}

}  // namespace lunaro::platform

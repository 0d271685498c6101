#include "platform/environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace lunaro::platform {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string HomeFolder() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty()) return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] != '\0')
        return found->pw_dir;
    return "/";
}

std::string InHomeFolder(const char* relative) {
    std::string home = HomeFolder();
    if (home.empty() || home.back() != '/') home += '/';
    return home + relative;
}

std::string UserBaseFolder(const char* variable, const char* defaultUnderHome) {
    const std::string value = EnvironmentValue(variable);
    if (!value.empty() && value[0] == '/') return value;
    return InHomeFolder(defaultUnderHome);
}

std::string ProgramFolder() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    const std::string program(buffer, static_cast<size_t>(n));
    return program.substr(0, program.rfind('/') + 1);
}

}  // namespace lunaro::platform

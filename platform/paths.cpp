// Temporary minimal mapping; replaced by the full case-insensitive resolver.
#include "platform/paths.h"
namespace lunaro::platform {
bool HasDriveLetter(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z');
}
std::string DriveRoot(char) { return "/nonexistent"; }
std::string HostPath(const std::string& path) { return path; }
}  // namespace lunaro::platform

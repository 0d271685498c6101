#pragma once
// Replacing a file's whole content so that a crash or a refused write never
// leaves half a file: the bytes go to a temporary file in the same folder,
// which then takes the target's name in one rename.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace lunaro::platform {

// Writes bytes as the new content of path (Windows-style or host). A target
// that is a symbolic link keeps the link: its destination is replaced. The
// new file gets `mode` as permissions. Returns false, with errno set and the
// old file untouched, when any step fails; the parent folder is not created.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t mode);

}  // namespace lunaro::platform

#pragma once
// The list of file kinds that adding stores without compression, as the
// engine asks for it: ".gif:.png:..." for the members of the set, followed
// by the caller's own extensions when the set includes them (assEXT).
#include <string>

#include "archive/operation/zk_types.h"

namespace lunaro::archive {

// The caller's extension list ("abc, .Def;ghi") as ".abc:.def:.ghi:".
std::string ExtensionList(const std::string& extensions);

std::string StoreSuffixList(TZKAddStoreExts suffixes, const std::string& extensionList);

}  // namespace lunaro::archive

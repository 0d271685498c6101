#pragma once
// Hidden names for files on their way to their final name: short (whatever
// the length of the final name), unlikely to meet an existing file, and
// recognisable as ours.
#include <string>

namespace lunaro::engine {

std::string HiddenTempName();

}  // namespace lunaro::engine

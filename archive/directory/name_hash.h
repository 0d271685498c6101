#pragma once
// The case-sensitive hash of a decoded entry name, taken over its UTF-16
// code units so that it is the same number whatever the text's storage.
#include <cstdint>
#include <string_view>

namespace lunaro::archive {

uint32_t NameHash(std::string_view utf8Name);

}  // namespace lunaro::archive

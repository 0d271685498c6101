#pragma once
// Writes the C++ source that embeds the compressed tables in the archive
// library: the built-in entry and the language resource (a plain sequence
// of entries), behind the accessors declared in archive/messages/embedded_tables.h.
#include <cstdint>
#include <span>
#include <string>

namespace lunaro::tools {

std::string EmbeddedTablesSource(std::span<const uint8_t> builtinEntry, std::span<const uint8_t> languageResource);

}  // namespace lunaro::tools

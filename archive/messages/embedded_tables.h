#pragma once
// The message tables compiled into the library at build time (see
// tools/message_table_compiler.cpp): the built-in English entry and the
// language resource, a plain sequence of entries for the other languages.
#include <cstdint>
#include <span>

namespace lunaro::archive {

std::span<const uint8_t> BuiltinTableEntry();
std::span<const uint8_t> LanguageResource();

}  // namespace lunaro::archive

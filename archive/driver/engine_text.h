#pragma once
// Texts the engine hands over in its callback records: zero-terminated
// UTF-16 when the record says so, else 8-bit text read as UTF-8 or, when it
// is not valid UTF-8, in the system's ANSI code page. Reading stops at a
// bound, so a missing terminator cannot run away.
#include <cstdint>
#include <string>

namespace lunaro::archive {

inline constexpr size_t kMaxEngineText = 1u << 16;

std::string EngineText(const uint8_t* text, bool wide);

}  // namespace lunaro::archive

#pragma once
// Replace-all that ignores ASCII letter case in the matching while the
// inserted text keeps its own case.
#include <string>

namespace lunaro::app {

// Replaces the first match of pattern, then searches again from the start,
// until no match is left; so characters brought together by a removal can
// form a new match (aabb without "ab" becomes ""). An empty pattern changes
// nothing. A replacement that contains the pattern would never finish and is
// refused with an error instead, as is a result that keeps growing without
// bound.
std::string SubstituirTexto(const std::string& text, const std::string& pattern, const std::string& replacement);

}  // namespace lunaro::app

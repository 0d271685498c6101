#pragma once
// "lunaro-zip extract" and "lunaro-zip test": the archive's entries through
// the engine driver, with each skipped or failed entry named on err.
#include <cstdio>

#include "zipcli/extract_options.h"

namespace lunaro::zipcli {

inline constexpr int kExitAllDone = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitNothingDone = 2;

int RunExtract(const ExtractRequest& request, std::FILE* out, std::FILE* err);

}  // namespace lunaro::zipcli

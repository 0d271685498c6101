#pragma once
// "lunaro-zip extract" and "lunaro-zip test": the archive's entries through
// the engine driver, with each skipped or failed entry named on err.
#include <cstdio>

#include "zipcli/extract_options.h"

namespace lunaro::zipcli {

int RunExtract(const ExtractRequest& request, std::FILE* out, std::FILE* err);

}  // namespace lunaro::zipcli

#pragma once
// "lunaro-zip add", "delete" and "rename": the archive changed through the
// engine driver, with each skipped or failed name on err. The engine puts
// the new archive in place only when it is complete, so a run that fails
// leaves the archive as it was.
#include <cstdio>

#include "zipcli/write_options.h"

namespace lunaro::zipcli {

int RunAdd(const WriteRequest& request, std::FILE* err);
int RunDelete(const WriteRequest& request, std::FILE* err);
int RunRename(const WriteRequest& request, std::FILE* err);

}  // namespace lunaro::zipcli

#pragma once
// One call of the caller's stream function, the record's fixed fields
// filled in; a missing function or one that throws answers as a bad record.
#include "engine/abi/zip_engine_abi.h"

namespace lunaro::engine {

int32_t CallStream(const TDLLCommands& command, TZStreamRec& rec);

}  // namespace lunaro::engine

#pragma once
// The runs that change an archive. Each returns the number of entries it
// added (or replaced), deleted or renamed, or a negative engine code; the
// archive is replaced only when the run is complete.
#include "engine/abi/zip_engine_abi.h"
#include "engine/exec/engine_callbacks.h"

namespace lunaro::engine {

int32_t RunAdd(const TDLLCommands& command, TEngineCallbacks& callbacks);
int32_t RunDelete(const TDLLCommands& command, TEngineCallbacks& callbacks);
int32_t RunRename(const TDLLCommands& command, TEngineCallbacks& callbacks);

}  // namespace lunaro::engine

#pragma once
// One call of ZE_Exec: the record checked, the key reported, the arguments
// asked for, then every selected entry extracted or tested in directory
// order, with progress and questions through the caller's callback.
#include "engine/abi/zip_engine_abi.h"

namespace lunaro::engine {

// The number of entries extracted or tested, or a negative engine code.
// Never throws.
int32_t RunEngineCommand(TDLLCommands* command);

}  // namespace lunaro::engine

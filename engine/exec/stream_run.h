#pragma once
// A run whose command record points to a TZSSArgs: one stream of the
// caller's compressed into another (ZE_OPT_ADD set) or expanded, read and
// written in pieces of a fixed size, with the CRC-32 of the uncompressed
// bytes handed back in the record.
#include "engine/abi/zip_engine_abi.h"
#include "engine/exec/engine_callbacks.h"

namespace lunaro::engine {

// 1 when done, else a negative engine code, reported. Throws only what
// the caller of every run catches (no memory, a broken compressor).
int32_t RunStreamCommand(const TDLLCommands& command, TEngineCallbacks& callbacks);

}  // namespace lunaro::engine

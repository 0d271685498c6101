#pragma once
// What every entry of one run shares: the caller, the options and
// arguments, the archive, the destination and the decoding buffers.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/exec/archive_input.h"
#include "engine/exec/engine_callbacks.h"
#include "engine/exec/entry_decode.h"
#include "engine/exec/run_arguments.h"
#include "engine/exec/run_options.h"
#include "engine/exec/run_reports.h"
#include "engine/output/destination.h"

namespace lunaro::engine {

struct TRunContext {
    TRunContext(const TDLLCommands& command, TEngineCallbacks& callbacks)
        : Command(command), Callbacks(callbacks), Options(TRunOptions::From(command.fOptions)) {}

    const TDLLCommands& Command;
    TEngineCallbacks& Callbacks;
    TRunOptions Options;
    TRunArguments Args;
    TArchiveInput Archive;
    std::unique_ptr<TDestination> Destination;  // null when testing
    TDecodeBuffers Buffers;
    std::string Password;         // the one that last worked, or the caller's
    bool SkipEncrypted = false;   // the caller declined passwords for the rest of the run
    int64_t Written = 0;          // bytes decoded so far in the run

    // Reports a skipped entry; false when the caller wants the run to stop
    // because of it (skipping that kind is not allowed).
    bool Skip(const std::string& name, uint32_t skipType, uint32_t error = 0) {
        return SkipItem(Callbacks, name, skipType, error);
    }
};

}  // namespace lunaro::engine

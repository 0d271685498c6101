#pragma once
// Everything a run needs from its caller, asked for through zacArg before
// the archive is touched.
#include <optional>
#include <string>
#include <vector>

#include "engine/exec/engine_callbacks.h"

namespace lunaro::engine {

struct TRunArguments {
    std::string Archive;
    std::string Password;
    std::string BaseDir;
    std::vector<std::string> Specs;
    std::vector<std::string> Excludes;
};

// nullopt when the caller gives no archive name or stops the run while
// being asked.
std::optional<TRunArguments> FetchRunArguments(TEngineCallbacks& callbacks, bool needBaseDir);

}  // namespace lunaro::engine

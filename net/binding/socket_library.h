#pragma once
// The sockets "libraries" this platform can load by name. Each one resolves
// function names to addresses the way a run-time loaded library would; all of
// them are bound directly to the C library and our adapters.
#include "net/binding/socket_adapters.h"

namespace lunaro::net {

struct TSocketLibrary {
    const char* name;
    // Address of the exported function `name`, or nullptr when not exported.
    TProc (*resolve)(const char* name);
};

// The library with this file name (letter case ignored), or nullptr when no
// such library can be loaded.
const TSocketLibrary* FindSocketLibrary(const char* fileName);

}  // namespace lunaro::net

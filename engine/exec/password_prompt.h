#pragma once
// Finding a password that an encrypted entry accepts: the one the run
// already holds first, then as many as the caller may be asked for.
#include <cstdint>
#include <string>

#include "engine/exec/engine_callbacks.h"
#include "engine/exec/entry_encryption.h"

namespace lunaro::engine {

enum class TUnlockResult : uint8_t { Unlocked, Skip, SkipAll, Abort };

// password is in-out: a password that works stays for the entries after
// this one. At most maxRequests questions are asked (at least one).
TUnlockResult UnlockEntry(TEntryEncryption& encryption, std::string& password, const std::string& name,
                          uint32_t maxRequests, TEngineCallbacks& callbacks);

}  // namespace lunaro::engine

#pragma once
// One request to the caller's stream function, in a record of its own; a
// function that throws counts as a refusal.
#include <cstdint>

#include "engine/abi/zip_engine_abi.h"

namespace lunaro::engine {

struct TStreamReply {
    int32_t Answer = 0;
    int32_t Done = 0;          // ArgI as handed back: bytes read or written
    void* Stream = nullptr;    // StrmP as handed back (what an open gives)
};

// stream is the caller's own pointer (null before an open), number the
// caller's stream number (-1 when the pointer alone names it).
TStreamReply RequestStream(const TDLLCommands& command, void* stream, int32_t number, int32_t op,
                           uint8_t* buffer = nullptr, int32_t length = 0);

}  // namespace lunaro::engine

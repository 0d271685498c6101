#pragma once
// Bytes from a stream the caller pointed to, through the command record's
// stream function, never more than a given count. The caller's answers are
// checked: a read that claims more than was asked for, or a full read
// with a short count, is a failure rather than bytes.
#include <cstdint>

#include "engine/abi/zip_engine_abi.h"
#include "engine/exec/entry_source.h"

namespace lunaro::engine {

class TStreamInput final : public TByteSource {
public:
    TStreamInput(const TDLLCommands& command, void* stream, int64_t limit)
        : fCommand(command), fStream(stream), fRemaining(limit) {}

    // 0 once the limit is reached or the caller's stream has ended; -1 when
    // the caller fails.
    int64_t Read(uint8_t* buffer, size_t cap) override;
    int64_t Taken() const { return fTaken; }

private:
    const TDLLCommands& fCommand;
    void* fStream;
    int64_t fRemaining;
    int64_t fTaken = 0;
    bool fEnded = false;
};

}  // namespace lunaro::engine

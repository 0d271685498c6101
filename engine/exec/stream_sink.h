#pragma once
// An entry extracted into one of the caller's streams, reached through the
// command record's stream function: opened when the entry starts, written
// chunk by chunk, closed when it ends whatever the outcome.
#include <string>

#include "engine/abi/zip_engine_abi.h"
#include "engine/exec/entry_decode.h"

namespace lunaro::engine {

class TStreamSink : public TEntrySink {
public:
    TStreamSink(const TDLLCommands& command, int number) : fCommand(command), fNumber(number) {}
    ~TStreamSink() override;
    TStreamSink(const TStreamSink&) = delete;
    TStreamSink& operator=(const TStreamSink&) = delete;

    // false when the caller has no stream with this number.
    bool Open(std::string& error);
    bool Write(const uint8_t* data, size_t len, std::string& error) override;

private:
    int32_t Request(int32_t op, uint8_t* buffer = nullptr, int32_t length = 0, int32_t* done = nullptr);

    const TDLLCommands& fCommand;
    int fNumber;
    void* fStream = nullptr;
    bool fOpen = false;
};

}  // namespace lunaro::engine

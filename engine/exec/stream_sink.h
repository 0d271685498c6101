#pragma once
// Bytes into one of the caller's streams, reached through the command
// record's stream function: a numbered stream is opened when the entry
// starts and closed when it ends whatever the outcome; one the caller
// pointed to is only written.
#include <string>

#include "engine/abi/zip_engine_abi.h"
#include "engine/exec/entry_decode.h"

namespace lunaro::engine {

class TStreamSink : public TEntrySink {
public:
    TStreamSink(const TDLLCommands& command, int number) : fCommand(command), fNumber(number) {}
    TStreamSink(const TDLLCommands& command, void* stream) : fCommand(command), fNumber(-1), fStream(stream) {}
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

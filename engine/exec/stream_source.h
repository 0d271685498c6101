#pragma once
// The bytes of an entry added from one of the caller's streams: asked for
// its size, date and attributes, opened, read piece by piece on the
// caller's thread, closed whatever the outcome.
#include <cstdint>
#include <string>

#include "engine/abi/zip_engine_abi.h"

namespace lunaro::engine {

class TStreamSource {
public:
    TStreamSource(const TDLLCommands& command, int number) : fCommand(command), fNumber(number) {}
    ~TStreamSource();
    TStreamSource(const TStreamSource&) = delete;
    TStreamSource& operator=(const TStreamSource&) = delete;

    // Identifies and opens the stream; false when the caller has none with
    // this number or declares a negative size.
    bool Open(std::string& error);
    int64_t Size() const { return fSize; }
    uint32_t DosDate() const { return fDosDate; }
    uint32_t Attributes() const { return fAttributes; }
    // Exactly len bytes into buffer, or false.
    bool Read(uint8_t* buffer, size_t len);

private:
    const TDLLCommands& fCommand;
    int fNumber;
    void* fStream = nullptr;
    bool fOpen = false;
    int64_t fSize = 0;
    uint32_t fDosDate = 0;
    uint32_t fAttributes = 0;
};

}  // namespace lunaro::engine

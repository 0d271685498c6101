#pragma once
// One entry's data from the archive to its destination: read, decrypted,
// decoded, counted against the declared size and checked by CRC, in buffers
// of a fixed size whatever the entry's size.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/codec/decoder.h"
#include "engine/codec/decryptor.h"
#include "engine/exec/entry_source.h"

namespace lunaro::engine {

// Where decoded bytes go: a pending file, a caller's stream.
class TEntrySink {
public:
    virtual ~TEntrySink() = default;
    virtual bool Write(const uint8_t* data, size_t len, std::string& error) = 0;
};

struct TDecodeJob {
    TByteSource* Source = nullptr;
    TDecryptor* Decryptor = nullptr;  // null: not encrypted
    TDecoder* Decoder = nullptr;
    bool Stored = false;              // its end is the end of the input
    int64_t DeclaredSize = 0;         // -1: unknown, the compressed data's own end decides
    uint32_t ExpectedCrc = 0;
    bool CheckCrc = true;
    TEntrySink* Sink = nullptr;       // null: test only
    // Told of every decoded chunk; false stops the entry.
    std::function<bool(int64_t delta)> Progress;
};

struct TDecodeOutcome {
    enum TKind : uint8_t { Good, Corrupt, TooLong, SizeMismatch, CrcMismatch, ReadFailed, WriteFailed, Stopped };
    TKind Kind = Good;
    uint32_t Crc = 0;
    int64_t Produced = 0;
    std::string Text;  // why, for everything but Good and Stopped
};

// Reused from entry to entry: the only memory a run's decoding takes beyond
// the decoders' own.
struct TDecodeBuffers {
    static constexpr size_t kSize = 256 * 1024;
    std::vector<uint8_t> In = std::vector<uint8_t>(kSize);
    std::vector<uint8_t> Out = std::vector<uint8_t>(kSize);
};

TDecodeOutcome DecodeEntry(const TDecodeJob& job, TDecodeBuffers& buffers);

}  // namespace lunaro::engine

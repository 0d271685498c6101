#pragma once
// The data half of one entry: everything decided and asked, only the bytes
// left to move. It makes no callback, so it may run on a worker thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/codec/decoder.h"
#include "engine/exec/entry_decode.h"
#include "engine/exec/entry_encryption.h"
#include "engine/exec/entry_selection.h"
#include "engine/exec/entry_source.h"
#include "engine/output/pending_file.h"

namespace lunaro::engine {

struct TEntryWork {
    TEntryWork(std::string name, TEntrySource source) : Name(std::move(name)), Source(source) {}

    std::string Name;
    std::string Target;  // the final name under the destination; empty when none
    TEntrySource Source;
    std::optional<TEntryEncryption> Encryption;
    std::unique_ptr<TDecoder> Decoder;
    bool Stored = false;
    int64_t Declared = 0;
    uint32_t ExpectedCrc = 0;
    int Stream = kNoStream;                // a caller's stream, reached only from the caller's thread
    std::unique_ptr<TPendingFile> Pending;  // null when testing or streaming
    std::optional<int64_t> ModTime;         // given to the file when it takes its name

    TDecodeOutcome Outcome;
    bool CommitFailed = false;
};

// Decodes into sink (or the pending file when sink is null) and, when the
// data checks out, gives the file its final name.
void RunEntryWork(TEntryWork& work, TDecodeBuffers& buffers, TEntrySink* sink,
                  const std::function<bool(int64_t)>& progress);

}  // namespace lunaro::engine

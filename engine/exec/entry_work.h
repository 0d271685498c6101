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
#include "engine/exec/entry_names.h"
#include "engine/output/destination.h"

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
    // Where the file goes, opened only when its data starts to move so that
    // creating files is shared out with the writing; unset when testing or
    // streaming.
    TDestination* Destination = nullptr;
    std::optional<TEntryPath> Place;
    std::optional<int64_t> ModTime;         // given to the file when it takes its name

    TDecodeOutcome Outcome;
    bool BeginFailed = false;
    bool CommitFailed = false;
};

// Decodes into sink, or into a new pending file at Place, and, when the
// data checks out, gives the file its final name.
void RunEntryWork(TEntryWork& work, TDecodeBuffers& buffers, TEntrySink* sink,
                  const std::function<bool(int64_t)>& progress);

}  // namespace lunaro::engine

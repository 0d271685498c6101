#pragma once
// Writes a large entry's output on a thread of its own, so that decoding
// the next chunk and writing the last one overlap. Holds a few chunks at
// most: memory stays bounded whatever the entry's size.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/exec/entry_decode.h"

namespace lunaro::engine {

class TWriteBehindSink : public TEntrySink {
public:
    // target is written from the sink's own thread only, one chunk at a time.
    explicit TWriteBehindSink(TEntrySink& target);
    ~TWriteBehindSink() override;
    TWriteBehindSink(const TWriteBehindSink&) = delete;
    TWriteBehindSink& operator=(const TWriteBehindSink&) = delete;

    // Queues a copy of the data; false once an earlier write has failed.
    bool Write(const uint8_t* data, size_t len, std::string& error) override;
    // Waits until everything queued is written; false (error set) if any write failed.
    bool Flush(std::string& error);

private:
    void WriterLoop();

    static constexpr size_t kChunks = 4;
    TEntrySink& fTarget;
    std::mutex fLock;
    std::condition_variable fChanged;
    std::deque<std::vector<uint8_t>> fQueued;
    std::vector<std::vector<uint8_t>> fSpare;
    bool fWriting = false;
    bool fClosing = false;
    bool fFailed = false;
    std::string fError;
    std::thread fWriter;
};

}  // namespace lunaro::engine

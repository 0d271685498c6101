#pragma once
// Entries' data compressed on worker threads, piece by piece, and handed
// back to the caller's thread in the order the pieces were submitted, so
// that the archive is written sequentially while both cores compress. The
// caller bounds what is in flight (InFlight); nothing here grows without it.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lunaro::engine {

struct TPieceJob {
    int Fd = -1;               // read by the worker from here, when >= 0
    uint64_t Offset = 0;       // where the dictionary (or the piece) starts in the file
    std::vector<uint8_t> Data; // otherwise the dictionary and then the piece, filled by the caller
    size_t DictionaryLength = 0;
    size_t Length = 0;         // bytes of the piece itself
    int Level = 0;             // 0: stored
    bool Whole = false;        // the entry's only piece: may come back stored if deflate does not help
    bool Last = false;
    bool Broken = false;       // the caller could not fill Data: comes back as a read failure
};

struct TPieceResult {
    std::vector<uint8_t> Out;  // the bytes to write (compressed, or the input when stored)
    uint32_t Crc = 0;          // of the piece's input
    size_t Length = 0;         // input bytes
    bool Stored = false;
    bool ReadFailed = false;   // the file ended early or could not be read
    std::string Failure;       // anything else: the run cannot go on
};

class TCompressPipeline {
public:
    explicit TCompressPipeline(unsigned workers);
    ~TCompressPipeline();
    TCompressPipeline(const TCompressPipeline&) = delete;
    TCompressPipeline& operator=(const TCompressPipeline&) = delete;

    void Submit(TPieceJob job);
    // The result of the oldest piece not yet taken; waits for it. Only
    // called while InFlight() > 0.
    TPieceResult Next();
    size_t InFlight() const { return fSubmitted - fTaken; }

private:
    void Work();

    std::mutex fLock;
    std::condition_variable fWake;
    std::condition_variable fDone;
    std::deque<std::pair<uint64_t, TPieceJob>> fJobs;
    std::map<uint64_t, TPieceResult> fResults;
    uint64_t fSubmitted = 0;
    uint64_t fTaken = 0;
    bool fClosing = false;
    std::vector<std::thread> fWorkers;
};

}  // namespace lunaro::engine

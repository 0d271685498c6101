#pragma once
// Moves the entries' data on worker threads while the caller's thread asks
// the next entries' questions: small entries go to the workers, large ones
// and those bound for a caller's stream run on the caller's thread. Every
// callback, whichever thread moved the data, is made on the caller's thread
// and in directory order.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/exec/entry_work.h"
#include "engine/exec/run_context.h"

namespace lunaro::engine {

class TEntryPipeline {
public:
    TEntryPipeline(TRunContext& context, unsigned workers);
    ~TEntryPipeline();
    TEntryPipeline(const TEntryPipeline&) = delete;
    TEntryPipeline& operator=(const TEntryPipeline&) = delete;

    void Run(TEntryWork work);
    // Waits for every entry under way and reports it.
    void Finish();
    // Entries extracted (or tested) and checked.
    int Done() const { return fDone; }

private:
    struct TSlot {
        explicit TSlot(TEntryWork work) : Work(std::move(work)) {}
        TEntryWork Work;
        bool Finished = false;
    };

    void RunHere(TEntryWork& work);
    // Waits until the oldest entry under way is through and, with a batch,
    // until that many are (or no more are waiting for a worker).
    void AwaitOldest(size_t batch);
    bool ReporterMayGoOn() const;  // under fLock
    // Reports the oldest entry, which is through.
    void ReportOldest();
    // Reports the entries through, oldest first, up to one still under way.
    void ReportFinished();
    void Account(TEntryWork& work);
    void WorkerLoop();

    TRunContext& fContext;
    std::mutex fLock;
    std::condition_variable fWork;
    std::condition_variable fFinished;
    std::deque<std::unique_ptr<TSlot>> fUnderWay;  // in directory order, not yet reported
    std::deque<TSlot*> fWaiting;                  // not yet taken by a worker
    std::multiset<std::string> fTargets;          // final names under way
    std::atomic<bool> fStop{false};
    bool fClosing = false;
    size_t fFinishedCount = 0;    // entries through and not yet reported
    size_t fWantBatch = 0;        // what the caller's thread waits for, while it does
    bool fReporterWaits = false;
    int fDone = 0;
    std::vector<std::thread> fWorkers;
};

}  // namespace lunaro::engine

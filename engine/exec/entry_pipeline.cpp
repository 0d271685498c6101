#include "engine/exec/entry_pipeline.h"

#include <optional>

#include "engine/exec/entry_extraction.h"
#include "engine/exec/stream_sink.h"

namespace lunaro::engine {

namespace {

// Larger entries run on the caller's thread, where their progress can be
// reported as it happens and a cancel stops them at once.
constexpr int64_t kWorkerEntryLimit = 1 << 20;
// Entries under way at once, each with its decoder (and, on a worker, two
// descriptors).
constexpr size_t kMaxUnderWay = 16;
// With that many entries under way, the caller's thread waits until this
// many are through before it hands out more: one wake-up for a batch, not
// one for every small file.
constexpr size_t kRefillBatch = kMaxUnderWay / 2;

}  // namespace

TEntryPipeline::TEntryPipeline(TRunContext& context, unsigned workers) : fContext(context) {
    for (unsigned i = 0; i < workers; ++i) fWorkers.emplace_back([this] { WorkerLoop(); });
}

TEntryPipeline::~TEntryPipeline() {
    {
        std::lock_guard<std::mutex> hold(fLock);
        fClosing = true;
    }
    fStop = true;  // anything still under way here is abandoned: its file is discarded
    fWork.notify_all();
    for (std::thread& worker : fWorkers) worker.join();
}

void TEntryPipeline::WorkerLoop() {
    TDecodeBuffers buffers;
    for (;;) {
        TSlot* slot = nullptr;
        {
            std::unique_lock<std::mutex> hold(fLock);
            fWork.wait(hold, [this] { return fClosing || !fWaiting.empty(); });
            if (fWaiting.empty()) return;
            slot = fWaiting.front();
            fWaiting.pop_front();
        }
        try {
            RunEntryWork(slot->Work, buffers, nullptr, [this](int64_t) { return !fStop.load(); });
        } catch (...) {
            slot->Work.Outcome.Kind = TDecodeOutcome::WriteFailed;
        }
        bool wake = false;
        {
            std::lock_guard<std::mutex> hold(fLock);
            slot->Finished = true;
            ++fFinishedCount;
            wake = fReporterWaits && ReporterMayGoOn();
        }
        if (wake) fFinished.notify_one();
    }
}

void TEntryPipeline::Account(TEntryWork& work) {
    if (fContext.Callbacks.Stopped()) {
        // Nobody is told any more, but what was completed is there.
        fStop = true;
        if (work.Outcome.Kind == TDecodeOutcome::Good && !work.CommitFailed) ++fDone;
        return;
    }
    if (FinishEntry(fContext, work)) ++fDone;
    if (fContext.Callbacks.Stopped()) fStop = true;
}

bool TEntryPipeline::ReporterMayGoOn() const {
    return fUnderWay.front()->Finished &&
           (fWantBatch == 0 || fFinishedCount >= fWantBatch || fWaiting.empty());
}

void TEntryPipeline::AwaitOldest(size_t batch) {
    std::unique_lock<std::mutex> hold(fLock);
    fWantBatch = batch;
    fReporterWaits = true;
    fFinished.wait(hold, [this] { return ReporterMayGoOn(); });
    fReporterWaits = false;
}

void TEntryPipeline::ReportOldest() {
    std::unique_ptr<TSlot> slot;
    {
        std::lock_guard<std::mutex> hold(fLock);
        slot = std::move(fUnderWay.front());
        fUnderWay.pop_front();
        --fFinishedCount;
        fTargets.erase(fTargets.find(slot->Work.Target));
    }
    TEntryWork& work = slot->Work;
    if (!fContext.Callbacks.Stopped()) {
        ReportEntryStart(fContext, work);
        if (work.Outcome.Produced > 0) ReportProgress(fContext, work.Outcome.Produced);
    }
    Account(work);
}

void TEntryPipeline::Finish() {
    while (!fUnderWay.empty()) {
        AwaitOldest(0);
        ReportOldest();
    }
}

void TEntryPipeline::ReportFinished() {
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(fLock);
            if (fUnderWay.empty() || !fUnderWay.front()->Finished) return;
        }
        ReportOldest();
    }
}

void TEntryPipeline::RunHere(TEntryWork& work) {
    std::optional<TStreamSink> stream;
    std::string error;
    if (work.Stream != kNoStream && !stream.emplace(fContext.Command, work.Stream).Open(error)) {
        fContext.Skip(work.Name, ZE_SKIP_NOT_FOUND);
        return;
    }
    ReportEntryStart(fContext, work);
    RunEntryWork(work, fContext.Buffers, stream ? &*stream : nullptr,
                 [this](int64_t delta) { return ReportProgress(fContext, delta); });
    Account(work);
}

void TEntryPipeline::Run(TEntryWork work) {
    const bool here = fWorkers.empty() || work.Stream != kNoStream || work.Declared > kWorkerEntryLimit;
    // An entry waits for an earlier one bound for the same name, so that the
    // later one wins as it would one after the other.
    if (here || (!work.Target.empty() && fTargets.count(work.Target) != 0)) Finish();
    if (here) {
        RunHere(work);
        return;
    }
    if (fUnderWay.size() >= kMaxUnderWay) {
        AwaitOldest(kRefillBatch);
        ReportFinished();
    }
    {
        std::lock_guard<std::mutex> hold(fLock);
        fTargets.insert(work.Target);
        fUnderWay.push_back(std::make_unique<TSlot>(std::move(work)));
        fWaiting.push_back(fUnderWay.back().get());
    }
    fWork.notify_one();
    // Report what is already through, so the caller hears of it early.
    ReportFinished();
}

}  // namespace lunaro::engine

#include "engine/exec/write_behind_sink.h"

namespace lunaro::engine {

TWriteBehindSink::TWriteBehindSink(TEntrySink& target) : fTarget(target), fWriter([this] { WriterLoop(); }) {}

TWriteBehindSink::~TWriteBehindSink() {
    {
        std::lock_guard<std::mutex> hold(fLock);
        fClosing = true;
    }
    fChanged.notify_all();
    fWriter.join();
}

void TWriteBehindSink::WriterLoop() {
    std::unique_lock<std::mutex> hold(fLock);
    for (;;) {
        fChanged.wait(hold, [this] { return fClosing || !fQueued.empty(); });
        if (fQueued.empty()) return;
        std::vector<uint8_t> chunk = std::move(fQueued.front());
        fQueued.pop_front();
        fWriting = true;
        const bool skip = fFailed;
        hold.unlock();
        std::string error;
        const bool ok = skip || fTarget.Write(chunk.data(), chunk.size(), error);
        hold.lock();
        fWriting = false;
        if (!ok && !fFailed) {
            fFailed = true;
            fError = error;
        }
        fSpare.push_back(std::move(chunk));
        fChanged.notify_all();
    }
}

bool TWriteBehindSink::Write(const uint8_t* data, size_t len, std::string& error) {
    std::unique_lock<std::mutex> hold(fLock);
    fChanged.wait(hold, [this] { return fFailed || fQueued.size() + (fWriting ? 1 : 0) < kChunks; });
    if (fFailed) {
        error = fError;
        return false;
    }
    std::vector<uint8_t> chunk;
    if (!fSpare.empty()) {
        chunk = std::move(fSpare.back());
        fSpare.pop_back();
    }
    chunk.assign(data, data + len);
    fQueued.push_back(std::move(chunk));
    hold.unlock();
    fChanged.notify_all();
    return true;
}

bool TWriteBehindSink::Flush(std::string& error) {
    std::unique_lock<std::mutex> hold(fLock);
    fChanged.wait(hold, [this] { return fQueued.empty() && !fWriting; });
    if (fFailed) error = fError;
    return !fFailed;
}

}  // namespace lunaro::engine

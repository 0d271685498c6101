#include "engine/writer/compress_pipeline.h"

#include <memory>

#include "engine/codec/crc32.h"
#include "engine/codec/deflate_encoder.h"
#include "engine/writer/positioned_read.h"

namespace lunaro::engine {

namespace {

// One worker's compressors, made for the level they are first needed at.
struct TCompressors {
    int Level = -1;
    std::unique_ptr<TWholeDeflater> Whole;
    std::unique_ptr<TPieceDeflater> Piece;

    void Prepare(int level) {
        if (level == Level) return;
        Whole.reset();
        Piece.reset();
        Level = level;
    }
};

TPieceResult Compress(TPieceJob& job, TCompressors& compressors) {
    TPieceResult result;
    result.Length = job.Length;
    if (job.Broken) {
        result.ReadFailed = true;
        return result;
    }
    if (job.Fd >= 0) {
        job.Data.resize(job.DictionaryLength + job.Length);
        if (!ReadFullyAt(job.Fd, job.Data.data(), job.Data.size(), job.Offset)) {
            result.ReadFailed = true;
            return result;
        }
    }
    const uint8_t* input = job.Data.data() + job.DictionaryLength;
    result.Crc = Crc32Update(0, input, job.Length);
    if (job.Level > 0) {
        compressors.Prepare(job.Level);
        if (job.Whole) {
            if (!compressors.Whole) compressors.Whole = std::make_unique<TWholeDeflater>(job.Level);
            if (compressors.Whole->Compress(input, job.Length, result.Out)) return result;
        } else {
            if (!compressors.Piece) compressors.Piece = std::make_unique<TPieceDeflater>(job.Level);
            compressors.Piece->Compress(job.Data.data(), job.DictionaryLength, input, job.Length, job.Last, result.Out);
            return result;
        }
    }
    result.Stored = true;
    job.Data.erase(job.Data.begin(), job.Data.begin() + static_cast<std::ptrdiff_t>(job.DictionaryLength));
    result.Out = std::move(job.Data);
    return result;
}

}  // namespace

TCompressPipeline::TCompressPipeline(unsigned workers) {
    for (unsigned i = 0; i < workers; ++i) fWorkers.emplace_back([this] { Work(); });
}

TCompressPipeline::~TCompressPipeline() {
    {
        std::lock_guard<std::mutex> hold(fLock);
        fClosing = true;
        fJobs.clear();  // nobody will take their results
    }
    fWake.notify_all();
    for (std::thread& worker : fWorkers) worker.join();
}

void TCompressPipeline::Submit(TPieceJob job) {
    {
        std::lock_guard<std::mutex> hold(fLock);
        fJobs.emplace_back(fSubmitted++, std::move(job));
    }
    fWake.notify_one();
}

TPieceResult TCompressPipeline::Next() {
    std::unique_lock<std::mutex> hold(fLock);
    fDone.wait(hold, [this] { return fResults.count(fTaken) != 0; });
    auto found = fResults.find(fTaken);
    TPieceResult result = std::move(found->second);
    fResults.erase(found);
    ++fTaken;
    return result;
}

void TCompressPipeline::Work() {
    TCompressors compressors;
    for (;;) {
        std::pair<uint64_t, TPieceJob> job;
        {
            std::unique_lock<std::mutex> hold(fLock);
            fWake.wait(hold, [this] { return fClosing || !fJobs.empty(); });
            if (fJobs.empty()) return;
            job = std::move(fJobs.front());
            fJobs.pop_front();
        }
        TPieceResult result;
        try {
            result = Compress(job.second, compressors);
        } catch (const std::exception& e) {
            result.Failure = e.what();
        }
        {
            std::lock_guard<std::mutex> hold(fLock);
            fResults.emplace(job.first, std::move(result));
        }
        fDone.notify_all();
    }
}

}  // namespace lunaro::engine

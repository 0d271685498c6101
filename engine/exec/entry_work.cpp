#include "engine/exec/entry_work.h"

namespace lunaro::engine {

namespace {

class TFileSink : public TEntrySink {
public:
    explicit TFileSink(TPendingFile& file) : fFile(file) {}
    bool Write(const uint8_t* data, size_t len, std::string& error) override { return fFile.Write(data, len, error); }

private:
    TPendingFile& fFile;
};

}  // namespace

void RunEntryWork(TEntryWork& work, TDecodeBuffers& buffers, TEntrySink* sink,
                  const std::function<bool(int64_t)>& progress) {
    std::unique_ptr<TPendingFile> pending;
    std::optional<TFileSink> fileSink;
    if (work.Place) {
        std::string error;
        pending = work.Destination->Begin(*work.Place, work.Declared, error);
        if (!pending) {
            work.BeginFailed = true;
            work.Outcome.Kind = TDecodeOutcome::WriteFailed;
            return;
        }
        sink = &fileSink.emplace(*pending);
    }
    TDecodeJob job;
    job.Source = &work.Source;
    job.Decryptor = work.Encryption ? work.Encryption->Decryptor() : nullptr;
    job.Decoder = work.Decoder.get();
    job.Stored = work.Stored;
    job.DeclaredSize = work.Declared;
    job.ExpectedCrc = work.ExpectedCrc;
    job.CheckCrc = !work.Encryption || work.Encryption->HasCrc();
    job.Sink = sink;
    job.Progress = progress;
    work.Outcome = DecodeEntry(job, buffers);
    if (work.Outcome.Kind == TDecodeOutcome::Good && work.Encryption && !work.Encryption->Authentic())
        work.Outcome.Kind = TDecodeOutcome::CrcMismatch;
    // The decoder's memory goes as soon as the data is through.
    work.Decoder.reset();
    if (work.Outcome.Kind == TDecodeOutcome::Good && pending) {
        std::string error;
        work.CommitFailed = !pending->Commit(work.ModTime, error);
    }
}

}  // namespace lunaro::engine

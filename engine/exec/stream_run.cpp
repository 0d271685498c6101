#include "engine/exec/stream_run.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/codec/crc32.h"
#include "engine/codec/deflate_encoder.h"
#include "engine/exec/entry_decode.h"
#include "engine/exec/run_reports.h"
#include "engine/exec/stream_input.h"
#include "engine/exec/stream_sink.h"

namespace lunaro::engine {

namespace {

constexpr uint32_t kStored = 0;
constexpr uint32_t kDeflated = 8;

class TStreamRun {
public:
    TStreamRun(const TDLLCommands& command, TEngineCallbacks& callbacks)
        : fCommand(command), fCallbacks(callbacks), fArgs(*command.fSS),
          fInput(command, fArgs.fSSInput, fArgs.Size), fSink(command, fArgs.fSSOutput) {}

    int Execute();

private:
    int Compress(uint32_t& crc);
    int Expand(uint32_t& crc);
    bool Progress(int64_t delta) {
        fCallbacks.Report(zacProgress, {.FileSize = delta});
        return !fCallbacks.Stopped();
    }
    int Fail(int magnitude, const std::string& text) { return FailRun(fCallbacks, magnitude, text); }
    int Emit(const uint8_t* data, size_t len) {
        std::string error;
        return fSink.Write(data, len, error) ? 0 : Fail(ZE_ERR_WRITE, error);
    }

    const TDLLCommands& fCommand;
    TEngineCallbacks& fCallbacks;
    TZSSArgs& fArgs;
    TStreamInput fInput;
    TStreamSink fSink;
    TDecodeBuffers fBuffers;
};

int TStreamRun::Execute() {
    if (fArgs.fSSInput == nullptr || fArgs.fSSOutput == nullptr || fCommand.ZStreamFunc == nullptr)
        return Fail(ZE_ERR_BAD_OPTIONS, "a stream run needs an input and an output stream");
    if (fArgs.Method != kStored && fArgs.Method != kDeflated)
        return Fail(ZE_ERR_BAD_OPTIONS, "streams are stored or deflated, not method " + std::to_string(fArgs.Method));
    if (fArgs.Size < 0) return Fail(ZE_ERR_BAD_OPTIONS, "a stream run cannot read a negative size");
    const bool compress = (fCommand.fOptions & ZE_OPT_ADD) != 0;
    // Expanding deflated data, only the input's size is known.
    const int64_t total = compress || fArgs.Method == kStored ? fArgs.Size : 0;
    fCallbacks.Report(zacSize, {.FileSize = total});
    if (fCallbacks.Stopped()) return fCallbacks.StopCode();
    uint32_t crc = 0;
    if (const int failed = compress ? Compress(crc) : Expand(crc); failed != 0) return failed;
    fArgs.CRC = crc;
    fCallbacks.Report(zacEndOfBatch, {});
    return fCallbacks.Stopped() ? fCallbacks.StopCode() : 1;
}

int TStreamRun::Compress(uint32_t& crc) {
    std::optional<TPieceDeflater> deflater;
    if (fArgs.Method == kDeflated) deflater.emplace(std::clamp(fCommand.fLevel, 0, 9));
    uint8_t* in = fBuffers.In.data();
    // Each piece is primed with the input just before it, so that cutting
    // the stream costs next to nothing in ratio.
    std::vector<uint8_t> window;
    std::vector<uint8_t> packed;
    for (;;) {
        const int64_t got = fInput.Read(in, fBuffers.In.size());
        if (got < 0) return Fail(ZE_ERR_READ, "the input stream could not be read");
        const bool last = fInput.Taken() == fArgs.Size;
        if (got == 0 && !last) return Fail(ZE_ERR_PREMATURE_EOF, "the input stream ends before the size to compress");
        const auto len = static_cast<size_t>(got);
        crc = Crc32Update(crc, in, len);
        if (!deflater) {
            if (const int failed = Emit(in, len); failed != 0) return failed;
        } else {
            deflater->Compress(window.data(), window.size(), in, len, last, packed);
            if (const int failed = Emit(packed.data(), packed.size()); failed != 0) return failed;
            window.insert(window.end(), in, in + len);
            if (window.size() > kDeflateWindow)
                window.erase(window.begin(), window.end() - static_cast<std::ptrdiff_t>(kDeflateWindow));
        }
        if (got > 0 && !Progress(got)) return fCallbacks.StopCode();
        if (last) return 0;
    }
}

int TStreamRun::Expand(uint32_t& crc) {
    std::unique_ptr<TDecoder> decoder = MakeDecoder(static_cast<uint16_t>(fArgs.Method), 0);
    TDecodeJob job;
    job.Source = &fInput;
    job.Decoder = decoder.get();
    job.Stored = fArgs.Method == kStored;
    // A copy has exactly the bytes asked for; deflated data ends where its
    // own end says, within the input's size.
    job.DeclaredSize = job.Stored ? fArgs.Size : -1;
    job.CheckCrc = false;
    job.Sink = &fSink;
    job.Progress = [this](int64_t delta) { return Progress(delta); };
    const TDecodeOutcome outcome = DecodeEntry(job, fBuffers);
    switch (outcome.Kind) {
        case TDecodeOutcome::Good:
            crc = outcome.Crc;
            return 0;
        case TDecodeOutcome::Stopped: return fCallbacks.StopCode();
        case TDecodeOutcome::Corrupt:
            return Fail(ZE_ERR_STRUCTURE, "the compressed stream cannot be expanded: " + outcome.Text);
        case TDecodeOutcome::SizeMismatch:
            return Fail(ZE_ERR_PREMATURE_EOF, "the input stream ends before the size to copy");
        case TDecodeOutcome::ReadFailed: return Fail(ZE_ERR_READ, "the input stream could not be read");
        case TDecodeOutcome::WriteFailed: return Fail(ZE_ERR_WRITE, outcome.Text);
        default: return Fail(ZE_ERR_LOGIC, outcome.Text);
    }
}

}  // namespace

int32_t RunStreamCommand(const TDLLCommands& command, TEngineCallbacks& callbacks) {
    TStreamRun run(command, callbacks);
    return run.Execute();
}

}  // namespace lunaro::engine

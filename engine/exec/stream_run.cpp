#include "engine/exec/stream_run.h"

#include <new>
#include <optional>
#include <string>

#include "engine/codec/crc32.h"
#include "engine/codec/deflate_encoder.h"
#include "engine/exec/entry_decode.h"
#include "engine/exec/stream_sink.h"
#include "engine/exec/stream_source.h"

namespace lunaro::engine {

namespace {

constexpr uint32_t kStored = 0;
constexpr uint32_t kDeflated = 8;

class TStreamRun {
public:
    TStreamRun(const TDLLCommands& command, TEngineCallbacks& callbacks)
        : fCommand(command), fCallbacks(callbacks), fArgs(*command.fSS),
          fSource(command, fArgs.fSSInput, fArgs.Size), fSink(command, fArgs.fSSOutput) {}

    int Execute();

private:
    int Compress(uint32_t& crc);
    int Expand(uint32_t& crc);
    bool Progress(int64_t delta) {
        fCallbacks.Report(zacProgress, {.FileSize = delta});
        return !fCallbacks.Stopped();
    }
    int Emit(const uint8_t* data, size_t len) {
        std::string error;
        return fSink.Write(data, len, error) ? 0 : fCallbacks.Fail(ZE_ERR_WRITE, error);
    }

    const TDLLCommands& fCommand;
    TEngineCallbacks& fCallbacks;
    TZSSArgs& fArgs;
    TStreamSource fSource;
    TStreamSink fSink;
    TDecodeBuffers fBuffers;
};

int TStreamRun::Execute() {
    if (fArgs.fSSInput == nullptr || fArgs.fSSOutput == nullptr || fCommand.ZStreamFunc == nullptr)
        return fCallbacks.Fail(ZE_ERR_BAD_OPTIONS, "a stream run needs an input and an output stream");
    if (fArgs.Method != kStored && fArgs.Method != kDeflated)
        return fCallbacks.Fail(ZE_ERR_BAD_OPTIONS, "streams are stored or deflated, not method " +
                                                       std::to_string(fArgs.Method));
    if (fArgs.Size < 0) return fCallbacks.Fail(ZE_ERR_BAD_OPTIONS, "a stream run cannot read a negative size");
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
    std::optional<TDeflateEncoder> encoder;
    if (fArgs.Method == kDeflated) encoder.emplace(fCommand.fLevel);
    uint8_t* in = fBuffers.In.data();
    uint8_t* out = fBuffers.Out.data();
    size_t inPos = 0;
    size_t inLen = 0;
    bool inputDone = false;
    int idle = 0;
    for (;;) {
        if (inPos == inLen && !inputDone) {
            const int64_t got = fSource.Read(in, fBuffers.In.size());
            if (got < 0) return fCallbacks.Fail(ZE_ERR_READ, "the input stream could not be read");
            if (got == 0 && fSource.Taken() < fArgs.Size)
                return fCallbacks.Fail(ZE_ERR_PREMATURE_EOF, "the input stream ends before the size to compress");
            inputDone = got == 0;
            inPos = 0;
            inLen = static_cast<size_t>(got);
            crc = Crc32Update(crc, in, inLen);
            if (got > 0 && !Progress(got)) return fCallbacks.StopCode();
        }
        if (!encoder) {
            if (const int failed = Emit(in + inPos, inLen - inPos); failed != 0) return failed;
            inPos = inLen;
            if (inputDone) return 0;
            continue;
        }
        size_t used = 0;
        size_t made = 0;
        const bool ended = encoder->Encode(in + inPos, inLen - inPos, used, out, fBuffers.Out.size(), made, inputDone);
        inPos += used;
        if (const int failed = Emit(out, made); failed != 0) return failed;
        if (ended) return 0;
        // With room to write, the compressor always takes or makes something.
        idle = used == 0 && made == 0 ? idle + 1 : 0;
        if (idle > 16) return fCallbacks.Fail(ZE_ERR_LOGIC, "the compressor makes no progress");
    }
}

int TStreamRun::Expand(uint32_t& crc) {
    std::unique_ptr<TDecoder> decoder = MakeDecoder(static_cast<uint16_t>(fArgs.Method), 0);
    TDecodeJob job;
    job.Source = &fSource;
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
            return fCallbacks.Fail(ZE_ERR_STRUCTURE, "the compressed stream cannot be expanded: " + outcome.Text);
        case TDecodeOutcome::SizeMismatch:
            return fCallbacks.Fail(ZE_ERR_PREMATURE_EOF, "the input stream ends before the size to copy");
        case TDecodeOutcome::ReadFailed: return fCallbacks.Fail(ZE_ERR_READ, "the input stream could not be read");
        case TDecodeOutcome::WriteFailed: return fCallbacks.Fail(ZE_ERR_WRITE, outcome.Text);
        default: return fCallbacks.Fail(ZE_ERR_LOGIC, outcome.Text);
    }
}

}  // namespace

int32_t RunStreamCommand(const TDLLCommands& command, TEngineCallbacks& callbacks) {
    try {
        TStreamRun run(command, callbacks);
        return run.Execute();
    } catch (const std::bad_alloc&) {
        return callbacks.Fail(ZE_ERR_NO_MEMORY, "out of memory");
    } catch (const std::exception& e) {
        return callbacks.Fail(ZE_ERR_FATAL, e.what());
    }
}

}  // namespace lunaro::engine

#include "engine/exec/entry_decode.h"

#include <algorithm>

#include "engine/codec/crc32.h"

namespace lunaro::engine {

namespace {

TDecodeOutcome Failed(TDecodeOutcome::TKind kind, std::string text) {
    TDecodeOutcome outcome;
    outcome.Kind = kind;
    outcome.Text = std::move(text);
    return outcome;
}

}  // namespace

TDecodeOutcome DecodeEntry(const TDecodeJob& job, TDecodeBuffers& buffers) {
    uint8_t* in = buffers.In.data();
    uint8_t* out = buffers.Out.data();
    size_t inPos = 0;
    size_t inLen = 0;
    bool inputDone = false;
    int64_t total = 0;
    uint32_t crc = 0;
    int idle = 0;
    const bool sized = job.DeclaredSize >= 0;
    for (;;) {
        if (inPos == inLen && !inputDone) {
            const int64_t got = job.Source->Read(in, buffers.In.size());
            if (got < 0) return Failed(TDecodeOutcome::ReadFailed, "the archive ends inside the entry's data");
            inputDone = got == 0;
            inPos = 0;
            inLen = static_cast<size_t>(got);
            if (job.Decryptor && inLen > 0) job.Decryptor->Decrypt(in, inLen);
        }
        // One byte of room beyond the declared size shows an entry that
        // would grow past it, without ever writing that byte anywhere.
        const int64_t allowed = sized ? job.DeclaredSize - total + 1 : static_cast<int64_t>(buffers.Out.size());
        const size_t room = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(buffers.Out.size()), allowed));
        size_t used = 0;
        size_t made = 0;
        const TDecodeStatus status = job.Decoder->Decode(in + inPos, inLen - inPos, used, out, room, made);
        inPos += used;
        if (made > 0) {
            if (sized && total + static_cast<int64_t>(made) > job.DeclaredSize)
                return Failed(TDecodeOutcome::TooLong, "the entry's data is longer than its declared size");
            crc = Crc32Update(crc, out, made);
            std::string error;
            if (job.Sink && !job.Sink->Write(out, made, error)) return Failed(TDecodeOutcome::WriteFailed, error);
            total += static_cast<int64_t>(made);
            if (job.Progress && !job.Progress(static_cast<int64_t>(made))) return Failed(TDecodeOutcome::Stopped, "");
        }
        if (status == TDecodeStatus::dsError) return Failed(TDecodeOutcome::Corrupt, job.Decoder->ErrorText());
        if (status == TDecodeStatus::dsEnd) break;
        const bool drained = inputDone && inPos == inLen;
        if (job.Stored && drained && made == 0) break;
        // A decoder that neither takes nor makes anything twice in a row
        // with its input gone will never finish.
        idle = (used == 0 && made == 0) ? idle + 1 : 0;
        if (idle > 2 && drained) return Failed(TDecodeOutcome::Corrupt, "the compressed data is cut short");
        if (idle > 16) return Failed(TDecodeOutcome::Corrupt, "the decoder makes no progress");
    }
    if (sized && total != job.DeclaredSize)
        return Failed(TDecodeOutcome::SizeMismatch, "the entry's data is shorter than its declared size");
    TDecodeOutcome outcome;
    outcome.Crc = crc;
    outcome.Produced = total;
    if (job.CheckCrc && crc != job.ExpectedCrc) {
        outcome.Kind = TDecodeOutcome::CrcMismatch;
        outcome.Text = "CRC error";
    }
    return outcome;
}

}  // namespace lunaro::engine

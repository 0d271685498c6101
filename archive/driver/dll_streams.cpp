// The engine's stream requests: the automatic stream of a single-stream
// operation answers first, then OnStream, then the caller's pipe with the
// request's number.
#include "archive/driver/dll_opr.h"
#include "archive/messages/message_format.h"

namespace lunaro::archive {

namespace {

void Identify(TZStreamRec& rec, const TZKSStats& stats) {
    rec.ArgLL = stats.Size;
    rec.ArgD = stats.Date;
    rec.ArgA = stats.Attributes;
}

}  // namespace

int TZKDLLOpr::StreamRequest(TZStreamRec& rec) {
    const int op = rec.OpCode;
    bool served = false;
    if (Automatic.Stream) {
        served = true;
        if (op == ZE_STREAM_IDENTIFY) Identify(rec, Automatic.Stats);
        else if (op == ZE_STREAM_OPEN) {
            Automatic.Stream->SetPosition(0);
            rec.StrmP = Automatic.Stream;
        } else {
            Automatic = AutoStream{};
        }
    }
    TZKMaster& master = Master();
    if (!served && master.OnStream) {
        auto* stream = static_cast<platform::TStream*>(rec.StrmP);
        TZKSStats stats;
        bool done = false;
        master.OnStream(master, static_cast<TZKStreamOp>(op), rec.Number, stream, stats, done);
        if (done) {
            served = true;
            if (op == ZE_STREAM_IDENTIFY) Identify(rec, stats);
            else if (op == ZE_STREAM_OPEN) rec.StrmP = stream;
        }
    }
    if (!served && rec.Number >= 0 && static_cast<size_t>(rec.Number) < Pipes.size()) {
        const TZKPipe& pipe = Pipes[static_cast<size_t>(rec.Number)];
        if (pipe.Stream) {
            served = true;
            if (op == ZE_STREAM_IDENTIFY) Identify(rec, pipe.Stats);
            else if (op == ZE_STREAM_OPEN) rec.StrmP = pipe.Stream;
        }
    }
    const int answer = served ? 1 : 0;
    if (Verbosity() >= 1)
        Diag(FormatMessageText("Stream operation %d on %d returns %d",
                               {int64_t{op}, int64_t{rec.Number}, int64_t{answer}}));
    return answer;
}

int TZKDLLOpr::DispatchStream(TZStreamRec& rec) {
    if (fDestructing) return 0;
    auto* stream = static_cast<platform::TStream*>(rec.StrmP);
    switch (rec.OpCode) {
        case ZE_STREAM_IDENTIFY:
        case ZE_STREAM_OPEN:
        case ZE_STREAM_CLOSE:
            return StreamRequest(rec);
        case ZE_STREAM_SEEK: {
            if (!stream || rec.ArgI < 0 || rec.ArgI > 2) return 0;
            const int64_t position = stream->Seek(rec.ArgLL, static_cast<platform::TSeekOrigin>(rec.ArgI));
            rec.ArgLL = position;
            return position >= 0 ? 1 : 0;
        }
        case ZE_STREAM_READ: {
            if (!stream || !rec.BufP || rec.ArgI < 0) return 0;
            const int64_t wanted = rec.ArgI;
            const int64_t remaining = stream->Size() - stream->Position();
            const int64_t count = wanted < remaining ? wanted : (remaining > 0 ? remaining : 0);
            const int64_t got = count > 0 ? stream->Read(rec.BufP, count) : 0;
            rec.ArgI = static_cast<int32_t>(got);
            return got == wanted ? 1 : 0;
        }
        case ZE_STREAM_WRITE: {
            if (!stream || !rec.BufP || rec.ArgI < 0) return 0;
            const int64_t wanted = rec.ArgI;
            const int64_t written = stream->Write(rec.BufP, wanted);
            rec.ArgI = static_cast<int32_t>(written);
            return written == wanted ? 1 : 0;
        }
        default: return 0;
    }
}

int32_t ZE_STDCALL ZStreamFunc(TZStreamRec* rec) {
    return GuardedDispatch(rec, ZE_STREAM_CHECK, ZE_ANSWER_BAD_RECORD, &TZKDLLOpr::DispatchStream);
}

}  // namespace lunaro::archive

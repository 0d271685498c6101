#include "engine/exec/stream_request.h"

namespace lunaro::engine {

TStreamReply RequestStream(const TDLLCommands& command, void* stream, int32_t number, int32_t op, uint8_t* buffer,
                           int32_t length) {
    TStreamReply reply;
    if (command.ZStreamFunc == nullptr) return reply;
    TZStreamRec rec{};
    rec.Caller = command.fCaller;
    rec.Version = ZE_ENGINE_VERSION;
    rec.StrmP = stream;
    rec.Number = number;
    rec.OpCode = op;
    rec.BufP = buffer;
    rec.ArgI = length;
    rec.Check = ZE_STREAM_CHECK;
    try {
        reply.Answer = command.ZStreamFunc(&rec);
    } catch (...) {
        reply.Answer = ZE_ANSWER_BAD_RECORD;
    }
    reply.Done = rec.ArgI;
    reply.Stream = rec.StrmP;
    return reply;
}

}  // namespace lunaro::engine

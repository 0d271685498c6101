#include "engine/exec/stream_request.h"

namespace lunaro::engine {

int32_t CallStream(const TDLLCommands& command, TZStreamRec& rec) {
    if (command.ZStreamFunc == nullptr) return ZE_ANSWER_BAD_RECORD;
    rec.Caller = command.fCaller;
    rec.Version = ZE_ENGINE_VERSION;
    rec.Check = ZE_STREAM_CHECK;
    try {
        return command.ZStreamFunc(&rec);
    } catch (...) {
        return ZE_ANSWER_BAD_RECORD;
    }
}

}  // namespace lunaro::engine

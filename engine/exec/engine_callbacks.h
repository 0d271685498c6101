#pragma once
// The engine's side of the callback protocol: every question and report
// goes through one caller-supplied function, with a freshly filled record
// each time. Answers that cancel the run are remembered, so that once the
// caller has said stop, the run sees it at every later step.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/abi/zip_engine_abi.h"
#include "engine/exec/run_keys.h"

namespace lunaro::engine {

class TEngineCallbacks {
public:
    TEngineCallbacks(const TDLLCommands& command, const TRunKey& key) : fCommand(command), fKey(key) {}

    // Fields of one callback beyond the action; text goes out as UTF-8.
    struct TCall {
        std::string_view Text = {};
        std::string_view Text2 = {};
        int64_t FileSize = 0;
        int64_t Written = 0;
        uint32_t Arg1 = 0;
        uint32_t Arg2 = 0;
        int32_t Arg3 = 0;
    };
    // What came back: the answer and the fields a handler may change.
    struct TReply {
        int32_t Answer = 0;
        uint32_t Arg1 = 0;
        uint32_t Arg2 = 0;
        int32_t Arg3 = 0;
        std::string Text;  // MsgP as UTF-8 (UTF-16 answers converted)
    };

    // Makes one callback. An answer that stops the run (-2 or below, as any
    // caller failure) is recorded in StopCode.
    TReply Call(TActionCodes action, const TCall& call, bool wantText = false);
    int32_t Report(TActionCodes action, const TCall& call) { return Call(action, call).Answer; }

    // zacArg: the text for a selector and index; nullopt when the answer is
    // not 1. count receives Arg3 as handed back (the number of items).
    std::optional<std::string> Argument(uint32_t selector, int32_t index = 0, int32_t* count = nullptr);

    void Message(uint32_t code, std::string_view text) { Report(zacMessage, {.Text = text, .Arg1 = code}); }

    // The engine result that ends the run, 0 while it may go on; an abort
    // through the run's key counts from the moment it is asked.
    int StopCode() {
        if (fStopCode == 0 && fKey.Aborted()) fStopCode = -ZE_ERR_ABORTED;
        return fStopCode;
    }
    void Stop(int code) {
        if (fStopCode == 0) fStopCode = code;
    }
    bool Stopped() { return StopCode() != 0; }

private:
    const TDLLCommands& fCommand;
    const TRunKey& fKey;
    int fStopCode = 0;
};

}  // namespace lunaro::engine

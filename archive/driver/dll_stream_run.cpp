// One stream compressed into another, or expanded, by the engine: a run
// whose command record carries the two streams, reached back through the
// stream function by their own pointers.
#include <algorithm>
#include <memory>

#include "archive/driver/dll_loader.h"
#include "archive/driver/dll_opr.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"

namespace lunaro::archive {

void TZKDLLOpr::Deflate(platform::TStream* out, platform::TStream* in, int64_t length, uint32_t method,
                        uint32_t& crc) {
    RunStreams(true, out, in, length, method, crc);
}

void TZKDLLOpr::Undeflate(platform::TStream* out, platform::TStream* in, int64_t length, uint32_t method,
                          uint32_t& crc) {
    RunStreams(false, out, in, length, method, crc);
}

void TZKDLLOpr::RunStreams(bool compress, platform::TStream* out, platform::TStream* in, int64_t length,
                           uint32_t method, uint32_t& crc) {
    SetSuccessCnt(0);
    ClearError();
    SetCancel(0);
    try {
        if (!in) throw EZipKeeper::CreateResDisp(msg::NoInputStream, true);
        if (!out) throw EZipKeeper::CreateResDisp(msg::NoOutputStream, true);
        if (in == out) throw EZipKeeper::CreateResDisp(msg::InputIsOutputStream, true);
        TZSSArgs args{};
        args.Method = method;
        args.Size = length >= 0 ? length : std::max<int64_t>(in->Size() - in->Position(), 0);
        args.fSSInput = in;
        args.fSSOutput = out;
        if (loader_.Load(*this) <= 0) return;  // the loader has reported why
        struct GiveBack {
            TZKDLLOpr& opr;
            ~GiveBack() { opr.loader_.Unload(opr); }
        } giveBack{*this};
        std::unique_ptr<TDLLCommands> rec = BuildCommand("");
        rec->fSS = &args;
        if (compress) rec->fOptions |= ZE_OPT_ADD;
        rec->fLevel = AddCompLevel;
        rec->fCheck = ZE_COMMAND_CHECK;
        EventError.clear();
        SetSuccessCnt(ExecEngine(*rec));
        crc = args.CRC;
    } catch (EZipKeeper& e) {
        if (!EventError.empty()) e.SetMessage(e.Message() + EventError);
        ShowExceptionError(e);
        SetSuccessCnt(0);
    }
}

}  // namespace lunaro::archive

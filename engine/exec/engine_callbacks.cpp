#include "engine/exec/engine_callbacks.h"

#include <string>

#include "platform/utf8.h"

namespace lunaro::engine {

namespace {

// Answers are read up to their terminating zero, but never further than
// any real name or password could reach.
constexpr size_t kMaxAnswerChars = 32768;

std::string AnswerText(const TZCallBackStruct& rec) {
    if (rec.MsgP == nullptr) return {};
    if (rec.HaveWide != 0) {
        std::u16string wide;
        const auto* p = reinterpret_cast<const char16_t*>(rec.MsgP);
        for (size_t i = 0; i < kMaxAnswerChars && p[i] != 0; ++i) wide.push_back(p[i]);
        return platform::Utf16ToUtf8(wide);
    }
    std::string bytes;
    for (size_t i = 0; i < kMaxAnswerChars && rec.MsgP[i] != 0; ++i) bytes.push_back(static_cast<char>(rec.MsgP[i]));
    return bytes;
}

}  // namespace

TEngineCallbacks::TReply TEngineCallbacks::Call(TActionCodes action, const TCall& call, bool wantText) {
    TReply reply;
    if (fCommand.ZCallbackFunc == nullptr) {
        Stop(-ZE_ERR_CALLBACK);
        reply.Answer = ZE_ANSWER_BAD_RECORD;
        return reply;
    }
    // The texts go out in buffers of our own: a handler may write into MsgP.
    std::string text(call.Text);
    std::string text2(call.Text2);
    TZCallBackStruct rec{};
    rec.Caller = fCommand.fCaller;
    rec.Version = ZE_ENGINE_VERSION;
    rec.ActionCode = action;
    rec.IsOperationZip = (fCommand.fOptions & (ZE_OPT_ADD | ZE_OPT_DELETE | ZE_OPT_RENAME)) != 0 ? 1 : 0;
    rec.HaveWide = 0;
    rec.MsgP = reinterpret_cast<uint8_t*>(text.data());
    rec.Msg2P = reinterpret_cast<uint8_t*>(text2.data());
    rec.File_Size = call.FileSize;
    rec.Written = call.Written;
    rec.Arg1 = call.Arg1;
    rec.Arg2 = call.Arg2;
    rec.Arg3 = call.Arg3;
    rec.Check = ZE_CALLBACK_CHECK;
    try {
        reply.Answer = fCommand.ZCallbackFunc(&rec);
    } catch (...) {
        reply.Answer = ZE_ANSWER_HANDLER_FAILED;
    }
    reply.Arg1 = rec.Arg1;
    reply.Arg2 = rec.Arg2;
    reply.Arg3 = rec.Arg3;
    if (wantText) reply.Text = AnswerText(rec);
    if (reply.Answer == ZE_ANSWER_CANCEL)
        Stop(-ZE_ERR_CANCELLED);
    else if (reply.Answer <= ZE_ANSWER_HANDLER_FAILED)
        Stop(-ZE_ERR_CALLBACK);
    return reply;
}

std::optional<std::string> TEngineCallbacks::Argument(uint32_t selector, int32_t index, int32_t* count) {
    const TReply reply = Call(zacArg, {.Arg1 = selector, .Arg3 = index}, true);
    if (count) *count = reply.Arg3;
    if (reply.Answer != 1) return std::nullopt;
    return reply.Text;
}

}  // namespace lunaro::engine

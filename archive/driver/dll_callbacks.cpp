// The engine's callbacks: what the driver does for each action and the
// answer it gives. Nothing thrown by a handler or an event reaches the
// engine; it becomes the answer -4 and stops the run.
#include <cstdlib>
#include <exception>

#include "archive/driver/dll_opr.h"
#include "archive/driver/engine_result.h"
#include "archive/driver/engine_text.h"
#include "archive/driver/store_suffixes.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zip_dialog_box.h"
#include "platform/utf8.h"

namespace lunaro::archive {

namespace {

constexpr int kAnswerUnknownAction = -1;
constexpr uint32_t kMaxRepeatCount = 15;
constexpr size_t kMaxCommentChars = 255;
constexpr size_t kMaxExtraData = 2048;
constexpr int kPasswordContext = kDlgPassword << 16;
// Texts of the extra phases (11401 "*Resetting Archive bit" and on).
constexpr int kPhaseTextBase = 11400;
constexpr int kLastSkipType = static_cast<int>(TZKSkipTypes::stSizeChange);

std::string FirstText(const TZCallBackStruct& rec) { return EngineText(rec.MsgP, rec.HaveWide != 0); }
std::string SecondText(const TZCallBackStruct& rec) { return EngineText(rec.Msg2P, rec.HaveWide != 0); }

bool EndsWithDelimiter(const std::string& name) {
    return !name.empty() && (name.back() == '\\' || name.back() == '/');
}

// At most max UTF-16 units, never half a surrogate pair.
std::string CutToUnits(const std::string& text, size_t max) {
    std::u16string units = platform::Utf8ToUtf16(text);
    if (units.size() <= max) return text;
    size_t keep = max;
    if (keep > 0 && units[keep - 1] >= 0xD800 && units[keep - 1] < 0xDC00) --keep;
    units.resize(keep);
    return platform::Utf16ToUtf8(units);
}

int Magnitude(int32_t value) { return value == INT32_MIN ? INT32_MAX : std::abs(value); }

}  // namespace

int TZKDLLOpr::DispatchCallback(TZCallBackStruct& rec) {
    if (fDestructing) return 0;
    const int action = rec.ActionCode & ZE_ACTION_MASK;
    int answer;
    try {
        answer = HandleAction(action, rec);
        if (action >= zacNewName && action <= zacNone) KeepAlive();
    } catch (...) {
        std::string what = "unknown exception";
        try {
            throw;
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        if (EventError.empty()) EventError = " #" + std::to_string(action) + " \"" + what + "\"";
        SetCancel(msg::EventHandlerException);
        return ZE_ANSWER_HANDLER_FAILED;
    }
    if (Cancel() != 0) answer = ZE_ANSWER_CANCEL;
    return answer;
}

int TZKDLLOpr::HandleAction(int action, TZCallBackStruct& rec) {
    TZKMaster& master = Master();
    switch (action) {
        case zacItem: case zacProgress: case zacEndOfBatch: case zacCount: case zacSize: case zacXItem:
        case zacXProgress:
            return AnswerProgress(action, rec);
        case zacMessage: return AnswerMessage(rec);
        case zacNewName: return AnswerAddName(rec);
        case zacPassword: return AnswerPassword(rec);
        case zacCRCError: {
            if (!master.OnCRC32Error) return 0;
            bool doExtract = true;
            master.OnCRC32Error(master, FirstText(rec), rec.Arg1, rec.Arg2, doExtract);
            return doExtract ? ZE_CRC_KEEP : ZE_CRC_DISCARD;
        }
        case zacOverwrite: {
            if (!master.OnExtractOverwrite) return 0;
            bool doOverwrite = rec.Arg1 != 0;
            master.OnExtractOverwrite(master, FirstText(rec), rec.Arg3 != ZE_EXISTING_NEWER, doOverwrite,
                                      static_cast<int>(rec.Arg2));
            return doOverwrite ? ZE_OVERWRITE_YES : ZE_OVERWRITE_NO;
        }
        case zacSkipped: return AnswerSkipped(rec);
        case zacComment: return AnswerComment(rec);
        case zacData: return AnswerData(rec);
        case zacExtName: return AnswerExtName(rec);
        case zacKey: fDLLOperKey.store(rec.Arg1); return 0;
        case zacArg: return AnswerArg(rec);
        default: return kAnswerUnknownAction;
    }
}

int TZKDLLOpr::AnswerProgress(int action, TZCallBackStruct& rec) {
    const auto code = static_cast<TActionCodes>(action);
    switch (action) {
        case zacItem:
            ReportProgress(code, FirstText(rec), rec.File_Size, rec.Written);
            return rec.File_Size == -1 && Progress().Stop ? 1 : 0;
        case zacProgress: ReportProgress(code, "", rec.File_Size, rec.Written); break;
        case zacCount: ReportProgress(code, "", rec.Arg1); break;
        case zacXItem: {
            const int ident = rec.Arg1 < 20 ? kPhaseTextBase + static_cast<int>(rec.Arg1)
                                            : static_cast<int>(rec.Arg1);
            ReportProgress(code, ZipLoadStr(ident), rec.File_Size);
            break;
        }
        default: ReportProgress(code, "", rec.File_Size); break;
    }
    return 0;
}

int TZKDLLOpr::AnswerMessage(TZCallBackStruct& rec) {
    std::string text = FirstText(rec);
    const uint32_t code = rec.Arg1;
    if (static_cast<int32_t>(code) > 0 && DllErrCode() == 0) SetDllErrCode(static_cast<int32_t>(code));
    const int ident = EngineErrorIdent(code);
    if (ident != 0 && (code & ZE_MSG_CLASS_MASK) >= ZE_MSG_CLASS_ERROR && (code & ZE_MSG_PREFIX_TEXT))
        text = ZipLoadStr(ident) + text;
    ReportMessage(ident, text);
    return 0;
}

bool TZKDLLOpr::AskPassword(bool isAdd, std::string& password, int& response) {
    const std::string title = ZipLoadStr(msg::PasswordTitle);
    auto ask = [&](int prompt, TMsgDlgButtons buttons, std::string& typed) {
        typed = ZipLoadStr(prompt);
        const int result = ZipMessageDialog(title, typed, buttons, kPasswordContext);
        if (result == platform::mrOk) return static_cast<int>(TMsgDlgBtn::mbOK);
        if (result == platform::mrCancel || result == platform::mrNone) return static_cast<int>(TMsgDlgBtn::mbCancel);
        if (result == platform::mrAll) return static_cast<int>(TMsgDlgBtn::mbNoToAll);
        return static_cast<int>(TMsgDlgBtn::mbAbort);
    };
    if (!isAdd) {
        response = ask(msg::EnterPassword, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbAll}, password);
        if (response != static_cast<int>(TMsgDlgBtn::mbOK)) password.clear();
        return true;
    }
    response = ask(msg::EnterPassword, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}, password);
    if (response != static_cast<int>(TMsgDlgBtn::mbOK)) {
        password.clear();
        return true;
    }
    std::string confirmed;
    response = ask(msg::ConfirmPassword, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}, confirmed);
    if (response != static_cast<int>(TMsgDlgBtn::mbOK) || confirmed != password) {
        if (response == static_cast<int>(TMsgDlgBtn::mbOK)) {
            const std::string text = ZipLoadStr(msg::PasswordsDoNotMatch);
            ZipMessageDlg(text, (kDlgWarning << 16));
            ReportMessage(0, text);
        }
        password.clear();
    }
    return true;
}

int TZKDLLOpr::AnswerPassword(TZCallBackStruct& rec) {
    TZKMaster& master = Master();
    const bool isAdd = rec.IsOperationZip != 0;
    uint32_t repeatCount = rec.Arg1;
    int response = static_cast<int>(TMsgDlgBtn::mbOK);
    std::string password;
    if (master.OnPasswordError) {
        TMsgDlgBtn action = TMsgDlgBtn::mbOK;
        master.OnPasswordError(master, isAdd, password, FirstText(rec), repeatCount, action);
        response = static_cast<int>(action);
        if (action != TMsgDlgBtn::mbOK) password.clear();
    } else if (Unattended()) {
        const int ident = isAdd ? msg::NoAddPassword : msg::NoExtractPassword;
        ReportMessage(ident, ZipLoadStr(ident));
    } else {
        AskPassword(isAdd, password, response);
    }
    int answer;
    if (!password.empty()) {
        fAnswer.SetText(rec, password);
        answer = ZE_PASSWORD_GIVEN;
    } else {
        repeatCount = 0;
        answer = ZE_PASSWORD_NONE;
    }
    rec.Arg1 = repeatCount > kMaxRepeatCount ? kMaxRepeatCount : repeatCount;
    if (response == static_cast<int>(TMsgDlgBtn::mbCancel)) return ZE_PASSWORD_NONE;
    if (response == static_cast<int>(TMsgDlgBtn::mbNoToAll)) return ZE_PASSWORD_NONE_ALL;
    if (response == static_cast<int>(TMsgDlgBtn::mbAbort)) {
        SetCancel(msg::UserAbort);
        return ZE_PASSWORD_ABORT;
    }
    return answer;
}

int TZKDLLOpr::AnswerSkipped(TZCallBackStruct& rec) {
    TZKMaster& master = Master();
    const int error = Magnitude(static_cast<int32_t>(rec.Arg1));
    if (error != 0) SetDllErrCode(error);
    // A type the engine should not send counts as a general failure.
    const int ordinal = static_cast<int>(rec.Arg2) - 1;
    const auto skipType = ordinal >= 0 && ordinal <= kLastSkipType ? static_cast<TZKSkipTypes>(ordinal)
                                                                   : TZKSkipTypes::stGeneralExtractError;
    int ident = EngineErrorIdent(static_cast<uint32_t>(error));
    const bool stops = Snapshot().NoSkipping.Contains(skipType);
    if (stops && ident == 0) ident = msg::SkippingNotAllowed;
    int extError = stops ? -ident : ident;
    const std::string name = FirstText(rec);
    if (master.OnSkipped) {
        master.OnSkipped(master, name, skipType, extError);
    } else if (Verbosity() >= 1 && master.OnMessage) {
        master.OnMessage(master, msg::UnknownError,
                         ZipFmtLoadStr(msg::SkippedItem, {name, int64_t{static_cast<int>(skipType)}}));
    }
    return extError < 0 ? 1 : 0;
}

int TZKDLLOpr::AnswerArg(TZCallBackStruct& rec) {
    const uint32_t selector = rec.Arg1;
    const int32_t index = rec.Arg3;
    if (selector > ZE_ARG_TEMP_DIR) return ZE_ANSWER_BAD_RECORD;
    if ((selector == ZE_ARG_SPEC || selector == ZE_ARG_SPEC_EXCLUDE) && index < 0) return ZE_ANSWER_BAD_RECORD;
    switch (selector) {
        case ZE_ARG_TARGET: fAnswer.SetText(rec, fDLLTargetName); break;
        case ZE_ARG_PASSWORD: fAnswer.SetText(rec, Password); break;
        case ZE_ARG_ROOT_DIR: fAnswer.SetText(rec, RootDir); break;
        case ZE_ARG_EXTRACT_DIR: fAnswer.SetText(rec, ExtrBaseDir); break;
        case ZE_ARG_COMMENT: {
            const std::string& comment = fNewComment ? *fNewComment : ZipComment();
            fAnswer.SetBytes(rec, comment);
            rec.Arg1 = static_cast<uint32_t>(comment.size());
            break;
        }
        case ZE_ARG_SPEC:
        case ZE_ARG_SPEC_EXCLUDE: {
            const std::vector<std::string>& list = selector == ZE_ARG_SPEC ? FSpecArgs : FSpecArgsExcl;
            rec.Arg3 = static_cast<int32_t>(list.size());
            if (static_cast<size_t>(index) >= list.size()) {
                fAnswer.SetText(rec, "");
                return 0;
            }
            fAnswer.SetText(rec, list[static_cast<size_t>(index)]);
            break;
        }
        case ZE_ARG_STORE_LIST: fAnswer.SetText(rec, StoreSuffixList(AddStoreSuffixes, ExtAddStoreList)); break;
        default: fAnswer.SetText(rec, Snapshot().TempDir); break;
    }
    return 1;
}

int TZKDLLOpr::AnswerAddName(TZCallBackStruct& rec) {
    TZKMaster& master = Master();
    if (!master.OnSetAddName) return 0;
    std::string name = FirstText(rec);
    bool changed = false;
    master.OnSetAddName(master, name, SecondText(rec), changed);
    return HandBack(rec, changed, name);
}

int TZKDLLOpr::HandBack(TZCallBackStruct& rec, bool changed, const std::string& text) {
    if (!changed) return 0;
    fAnswer.SetText(rec, text);
    return 1;
}

int TZKDLLOpr::AnswerComment(TZCallBackStruct& rec) {
    TZKMaster& master = Master();
    if (!master.OnFileComment) return 0;
    std::string comment = SecondText(rec);
    bool changed = false;
    master.OnFileComment(master, FirstText(rec), comment, changed);
    comment = CutToUnits(comment, kMaxCommentChars);
    if (changed) rec.Arg1 = static_cast<uint32_t>(platform::Utf8ToUtf16(comment).size());
    return HandBack(rec, changed, comment);
}

int TZKDLLOpr::AnswerData(TZCallBackStruct& rec) {
    TZKMaster& master = Master();
    const std::string name = FirstText(rec);
    bool levelChanged = false;
    if (master.OnSetCompLevel) {
        int level = static_cast<int>(rec.Arg2);
        bool changed = false;
        master.OnSetCompLevel(master, name, level, changed);
        if (changed && level >= 0 && level < 10) {
            rec.Arg2 = static_cast<uint32_t>(level);
            levelChanged = true;
        }
    }
    bool dataChanged = false;
    if (master.OnFileExtra) {
        const size_t length = rec.Msg2P ? std::min<size_t>(rec.Arg1, kMaxExtraData) : 0;
        std::string data(reinterpret_cast<const char*>(rec.Msg2P), length);
        bool changed = false;
        master.OnFileExtra(master, name, data, changed);
        // An extra field cut short would be damaged: longer data are refused.
        if (changed && data.size() <= kMaxExtraData) {
            fAnswer.SetBytes(rec, data);
            rec.Arg1 = static_cast<uint32_t>(data.size());
            dataChanged = true;
        }
    }
    return dataChanged ? (levelChanged ? 3 : 1) : (levelChanged ? 2 : 0);
}

int TZKDLLOpr::AnswerExtName(TZCallBackStruct& rec) {
    TZKMaster& master = Master();
    if (!master.OnSetExtName) return 0;
    const std::string original = FirstText(rec);
    std::string name = original;
    bool changed = false;
    master.OnSetExtName(master, name, SecondText(rec), changed);
    return HandBack(rec, changed && name != original && EndsWithDelimiter(name) == EndsWithDelimiter(original), name);
}

int32_t ZE_STDCALL ZCallbackFunc(TZCallBackStruct* rec) {
    return GuardedDispatch(rec, ZE_CALLBACK_CHECK, ZE_ANSWER_HANDLER_FAILED, &TZKDLLOpr::DispatchCallback);
}

}  // namespace lunaro::archive

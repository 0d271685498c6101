// The operation object's reporting: recording errors, OnMessage, message
// boxes and the component's dialog.
#include <cstdlib>

#include "archive/messages/message_catalog.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zip_dialog_box.h"
#include "archive/operation/zk_core.h"
#include "archive/messages/zk_exception.h"
#include "platform/ui_service.h"

namespace lunaro::archive {

namespace {

// Codes that report without a box: the user already knows (cancel, abort)
// or the condition is only worth a note.
bool ShowsNoBox(int code) {
    return code == msg::UserAbort || code == msg::UserCanceled || code == msg::FileCommentReadError ||
           code == msg::ZipStructureWarning;
}

int Magnitude(int code) { return code == INT32_MIN ? INT32_MAX : std::abs(code); }

}  // namespace

void TZKCore::ReportMessage(int errCode, const std::string& msg) {
    if (errCode != 0 && fErrCode <= 0) {
        if (fDllErrCode == 0) fDllErrCode = errCode;
        fErrCode = errCode;
        fErrMessage = msg;
    }
    if (master_.OnMessage) master_.OnMessage(master_, errCode, msg);
    KeepAlive();
}

void TZKCore::ShowMsg(const std::string& msg, int errCode, bool display) {
    fErrMessage = msg;
    fErrCode = Magnitude(errCode);
    if (display && !fSettings.Unattended && !ShowsNoBox(fErrCode)) ZipMessageDlg(msg, kMessageBoxContext);
    ReportMessage(fErrCode, msg);
}

void TZKCore::ShowZipMessage(int ident, const std::string& userStr) {
    ShowMsg(ZipLoadStr(Magnitude(ident)) + userStr, ident, true);
}

void TZKCore::ShowZipMsg(int ident, bool display) { ShowMsg(ZipLoadStr(Magnitude(ident)), ident, display); }

void TZKCore::ShowZipFmtMsg(int ident, const TZKFormatArgs& args, bool display) {
    ShowMsg(ZipFmtLoadStr(Magnitude(ident), args), ident, display);
}

void TZKCore::ShowExceptionError(const std::exception& e) {
    if (const auto* zk = dynamic_cast<const EZKException*>(&e)) {
        ShowMsg(zk->Message(), zk->ResId(), zk->DisplayMsg());
    } else {
        ShowMsg(e.what(), msg::ErrorException, true);
    }
}

void TZKCore::ReportMsg(int ident, const TZKFormatArgs& args) {
    std::string text = ZipFmtLoadStr(ident, args);
    if (!text.empty() && text[0] == '!') text = ZipLoadStr(msg::InfoPrefix) + text.substr(1);
    else if (!text.empty() && text[0] == '#') text = ZipLoadStr(msg::TracePrefix) + text.substr(1);
    ReportMessage(0, text);
}

// A diagnostic goes to OnMessage only: recording it as the error message
// would wipe the failure an earlier step reported.
void TZKCore::Diag(const std::string& msg) {
    if (fSettings.Verbosity >= 1) ReportMessage(0, "Trace: " + msg);
}

int TZKCore::ZipMessageDlg(const std::string& msg, int context) {
    return ZipMessageDlgEx("", msg, {TMsgDlgBtn::mbOK}, context);
}

int TZKCore::ZipMessageDlgEx(const std::string& title, const std::string& msg, TMsgDlgButtons buttons,
                             int context) {
    std::string text = msg;
    return ZipMessageDialog(title, text, buttons, context);
}

int TZKCore::ZipMessageDialog(const std::string& title, std::string& msg, TMsgDlgButtons buttons, int context) {
    std::string caption = title.empty() ? platform::ApplicationTitle() : title;
    if (fSettings.Verbosity >= 1) caption = FormatMessageText("%s   (%d)", {caption, context & 0xFFFF});
    if (master_.OnZipDialog) {
        std::string answerText = msg;
        int result = context;
        master_.OnZipDialog(master_, caption, answerText, result, buttons);
        if (result >= 1 && result <= 10) {
            msg = answerText;
            return result;
        }
    }
    TZipDialogBox box(context);
    box.Build(caption, msg, buttons);
    const int answer = box.ShowModal();
    if (box.DialogType() == kDlgPassword) msg = answer == platform::mrOk ? box.Password() : std::string();
    return answer;
}

std::string TZKCore::ZipLoadStr(int ident) const { return archive::ZipLoadStr(ident); }

std::string TZKCore::ZipFmtLoadStr(int ident, const TZKFormatArgs& args) const {
    return archive::ZipFmtLoadStr(ident, args);
}

}  // namespace lunaro::archive

#include "archive/messages/zip_dialog_box.h"

#include "archive/messages/message_catalog.h"
#include "archive/messages/message_ids.h"

namespace lunaro::archive {

namespace {

constexpr TMsgDlgBtn kButtonOrder[] = {
    TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo,    TMsgDlgBtn::mbOK,      TMsgDlgBtn::mbCancel,
    TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbRetry, TMsgDlgBtn::mbIgnore, TMsgDlgBtn::mbAll,
    TMsgDlgBtn::mbNoToAll, TMsgDlgBtn::mbYesToAll, TMsgDlgBtn::mbClose,
};

platform::MessageIcon IconOfType(int type) {
    int index = type & 7;
    if (index > 4) index = 4;
    switch (index) {
        case 0: return platform::MessageIcon::Warning;
        case 1: return platform::MessageIcon::Error;
        case 2: return platform::MessageIcon::Information;
        case 3: return platform::MessageIcon::Question;
        default: return platform::MessageIcon::None;
    }
}

// The close button's caption has no text of its own in the built-in table;
// a box should never show "Resource missing" on a button.
std::string CaptionOf(TMsgDlgBtn button) {
    if (button != TMsgDlgBtn::mbClose) return ZipLoadStr(msg::ButtonYes + static_cast<int>(button));
    return TMessageCatalog::Process().FindText(msg::ButtonClose).value_or("&Close");
}

}  // namespace

int ModalResultOf(TMsgDlgBtn button) {
    switch (button) {
        case TMsgDlgBtn::mbYes: return platform::mrYes;
        case TMsgDlgBtn::mbNo: return platform::mrNo;
        case TMsgDlgBtn::mbOK: return platform::mrOk;
        case TMsgDlgBtn::mbCancel: return platform::mrCancel;
        case TMsgDlgBtn::mbAbort: return platform::mrAbort;
        case TMsgDlgBtn::mbRetry: return platform::mrRetry;
        case TMsgDlgBtn::mbIgnore: return platform::mrIgnore;
        case TMsgDlgBtn::mbAll: return platform::mrAll;
        case TMsgDlgBtn::mbNoToAll: return platform::mrNoToAll;
        case TMsgDlgBtn::mbYesToAll: return platform::mrYesToAll;
        case TMsgDlgBtn::mbClose: return platform::mrClose;
        case TMsgDlgBtn::mbHelp: break;
    }
    return platform::mrNone;
}

TZipDialogBox::TZipDialogBox(int context) {
    type_ = (context >> 16) & 0x1F;
    if (type_ == 0) type_ = kDlgWarning;
    request_.helpContext = context & 0xFFFF;
    request_.icon = IconOfType(type_);
    request_.beep = request_.icon != platform::MessageIcon::None;
    request_.passwordField = type_ == kDlgPassword;
}

void TZipDialogBox::Build(const std::string& title, const std::string& msg, TMsgDlgButtons buttons) {
    request_.title = title.empty() ? platform::ApplicationTitle() : title;
    request_.text = msg;
    request_.buttons.clear();
    for (TMsgDlgBtn button : kButtonOrder) {
        if (!buttons.Contains(button)) continue;
        const std::string name = "ZKDlg" + std::to_string(request_.buttons.size() + 1);
        request_.buttons.push_back({name, CaptionOf(button), ModalResultOf(button)});
    }
    auto firstOf = [&](std::initializer_list<TMsgDlgBtn> candidates) {
        for (TMsgDlgBtn candidate : candidates)
            if (buttons.Contains(candidate)) return ModalResultOf(candidate);
        return static_cast<int>(platform::mrNone);
    };
    request_.defaultResult = firstOf({TMsgDlgBtn::mbOK, TMsgDlgBtn::mbYes, TMsgDlgBtn::mbRetry});
    request_.cancelResult = firstOf({TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbOK});
}

int TZipDialogBox::ShowModal() {
    const int result = platform::Ui().ShowDialog(request_);
    if (!request_.passwordField) request_.password.clear();
    return result;
}

}  // namespace lunaro::archive

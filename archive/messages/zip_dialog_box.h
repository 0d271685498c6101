#pragma once
// The component's own message and password box, shown through the
// user-interface service. The context packs the help context (low 16 bits)
// and the dialog type (bits 16 to 20): 0x10 warning, 0x11 error,
// 0x12 information, 0x13 confirmation, 0x14 password entry (no icon, a
// masked field); higher types show no icon.
#include <string>

#include "archive/operation/zk_types.h"
#include "platform/ui_service.h"

namespace lunaro::archive {

inline constexpr int kDlgWarning = 0x10;
inline constexpr int kDlgError = 0x11;
inline constexpr int kDlgInformation = 0x12;
inline constexpr int kDlgConfirmation = 0x13;
inline constexpr int kDlgPassword = 0x14;

// Information box with help context 10000: how reported messages are shown.
inline constexpr int kMessageBoxContext = (kDlgInformation << 16) | 10000;

// The modal result a button closes the box with.
int ModalResultOf(TMsgDlgBtn button);

class TZipDialogBox {
public:
    explicit TZipDialogBox(int context);  // CreateNew2

    void Build(const std::string& title, const std::string& msg, TMsgDlgButtons buttons);
    int ShowModal();

    int DialogType() const { return type_; }
    int HelpContext() const { return request_.helpContext; }
    const std::string& Password() const { return request_.password; }
    void SetPassword(const std::string& password) { request_.password = password; }
    // What is handed to the user-interface service.
    const platform::DialogRequest& Request() const { return request_; }

private:
    int type_;
    platform::DialogRequest request_;
};

}  // namespace lunaro::archive

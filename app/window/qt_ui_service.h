#pragma once
// The user-interface service on Qt widgets: modal boxes and dialogs over the
// active window, event processing and the wait cursor. Standard buttons carry
// the captions a Portuguese desktop gives them.
#include "platform/ui_service.h"

namespace lunaro::app {

class QtUiService : public platform::UiService {
public:
    int MessageBox(const platform::MessageBoxRequest& request) override;
    int ShowDialog(platform::DialogRequest& request) override;
    void ProcessMessages() override;
    void SetWaitCursor(bool on) override;

private:
    bool waitCursor_ = false;
};

}  // namespace lunaro::app

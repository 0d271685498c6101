#pragma once
// The user-interface service of the unattended mode: every box and dialog
// goes to the log and is answered with its default button.
#include "app/install_log.h"
#include "platform/ui_service.h"

namespace lunaro::app {

class LogUiService : public platform::UiService {
public:
    explicit LogUiService(InstallLog& log) : log_(log) {}
    int MessageBox(const platform::MessageBoxRequest& request) override;
    int ShowDialog(platform::DialogRequest& request) override;
    void ProcessMessages() override {}
    void SetWaitCursor(bool) override {}

private:
    InstallLog& log_;
};

}  // namespace lunaro::app

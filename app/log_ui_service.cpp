#include "app/log_ui_service.h"

namespace lunaro::app {

int LogUiService::MessageBox(const platform::MessageBoxRequest& request) {
    log_.Write(request.text);
    return request.defaultButton;
}

int LogUiService::ShowDialog(platform::DialogRequest& request) {
    log_.Write(request.title + ": " + request.text);
    request.password.clear();
    return request.defaultResult;
}

}  // namespace lunaro::app

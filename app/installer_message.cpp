#include "app/installer_message.h"

#include "platform/ui_service.h"

namespace lunaro::app {

namespace {

void Show(const std::string& text, platform::MessageIcon icon) {
    platform::MessageBoxRequest request;
    request.caption = platform::ApplicationTitle();
    request.text = text;
    request.icon = icon;
    platform::Ui().MessageBox(request);
}

}  // namespace

std::string InstallStoppedText(const std::string& missingPackage) {
    // The name ends its line: a full stop right after it would read as part
    // of the file name.
    return "A instalação foi interrompida: falta o pacote " + missingPackage +
           "\nExecute o instalador novamente para continuar a instalação.";
}

void ShowInstallerMessage(const std::string& text) { Show(text, platform::MessageIcon::None); }

void ShowInstallerError(const std::string& text) { Show(text, platform::MessageIcon::Error); }

}  // namespace lunaro::app

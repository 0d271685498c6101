// lunaro-installer: the installer window, or with arguments the unattended
// installation (see --help).
#include <QApplication>
#include <QPixmap>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/application_title.h"
#include "app/unattended_run.h"
#include "app/window/qt_ui_service.h"
#include "app/window/uPrincipal.h"
#include "platform/ui_service.h"

namespace {

// Used only by the documentation script: shows the window, saves a picture
// of it and ends.
constexpr const char* kScreenshotOption = "--screenshot=";

int SaveScreenshot(QWidget& window, const std::string& file) {
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    if (window.grab().save(QString::fromStdString(file))) return 0;
    std::fprintf(stderr, "lunaro-installer: cannot save the picture %s\n", file.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string screenshot;
    if (arguments.size() == 1 && arguments[0].rfind(kScreenshotOption, 0) == 0)
        screenshot = arguments[0].substr(std::string(kScreenshotOption).size());
    else if (!arguments.empty())
        return lunaro::app::RunUnattended(arguments, [](std::chrono::seconds pause) { std::this_thread::sleep_for(pause); });

    QApplication application(argc, argv);
    lunaro::platform::SetApplicationTitle(lunaro::app::kApplicationTitle);
    lunaro::platform::SetUi(std::make_unique<lunaro::app::QtUiService>());
    lunaro::app::TfrmPrincipal window;
    window.show();
    if (!screenshot.empty()) return SaveScreenshot(window, screenshot);
    return application.exec();
}

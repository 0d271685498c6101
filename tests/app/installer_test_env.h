#pragma once
// A private machine for one installer test: drive C: and the desktop in a
// fresh folder, the scripted user interface recording every box, the
// application's title set, and the stand-in engine that unpacks trusted.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/application_title.h"
#include "app/engine_admission.h"
#include "platform/ui_service.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/test_support.h"

namespace lunaro::testkit {

class InstallerTestEnv {
public:
    InstallerTestEnv()
        : driveC_("LUNARO_DRIVE_C", temp_.File("drive_c")),
          desktop_("XDG_DESKTOP_DIR", temp_.File("Desktop")),
          // Nothing listens on the discard port: a test that starts an
          // installation without its own server fails fast, on loopback.
          baseUrl_("LUNARO_BASE_URL", "http://127.0.0.1:9/"),
          engineDigest_(app::kEngineDigestVariable, app::FileSha256(LUNARO_UNPACKING_ENGINE)) {
        std::filesystem::create_directories(temp_.File("drive_c"));
        platform::SetApplicationTitle(app::kApplicationTitle);
        auto ui = std::make_unique<platform::ScriptedUi>();
        ui_ = ui.get();
        previousUi_ = platform::SetUi(std::move(ui));
    }
    ~InstallerTestEnv() { platform::SetUi(std::move(previousUi_)); }

    // Host path of a file on drive C: ("Lunaro/CnfComercio.ini").
    std::string OnDriveC(const std::string& relative) const { return temp_.File("drive_c/" + relative); }
    std::string DesktopFile(const std::string& name) const { return temp_.File("Desktop/" + name); }
    const std::string& Root() const { return temp_.Path(); }

    platform::ScriptedUi& Ui() { return *ui_; }
    // The texts of every box shown so far, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : ui_->shown) texts.push_back(shown.isDialog ? shown.dialog.text : shown.box.text);
        return texts;
    }

    // Puts another user-interface service in place of the scripted one.
    void ReplaceUi(std::unique_ptr<platform::ScriptedUi> ui) {
        ui_ = ui.get();
        platform::SetUi(std::move(ui));
    }

private:
    TempDir temp_;
    ScopedEnv driveC_;
    ScopedEnv desktop_;
    ScopedEnv baseUrl_;
    ScopedEnv engineDigest_;
    platform::ScriptedUi* ui_ = nullptr;
    std::shared_ptr<platform::UiService> previousUi_;
};

}  // namespace lunaro::testkit

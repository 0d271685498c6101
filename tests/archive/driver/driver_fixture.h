#pragma once
// An engine operation object over a bare component, with a loader of its
// own (so each test starts with no engine loaded) and the scripted user
// interface installed for the test's lifetime.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/driver/dll_loader.h"
#include "archive/driver/dll_opr.h"
#include "platform/ui_service.h"

namespace lunaro::archive::testkit {

// Folder of one built stand-in engine ("good", "v191", "oldpriv", "nobanner").
inline std::string FakeEngineDir(const std::string& variant) { return std::string(LUNARO_FAKE_ENGINES) + "/" + variant; }

class DriverTest : public ::testing::Test {
protected:
    DriverTest() {
        auto scripted = std::make_unique<platform::ScriptedUi>();
        ui = scripted.get();
        previous_ = platform::SetUi(std::move(scripted));
        master.OnMessage = [this](TZKMaster&, int code, const std::string& text) { messages.emplace_back(code, text); };
    }
    ~DriverTest() override { platform::SetUi(std::move(previous_)); }

    // Starts an operation that looks for the engine in directory.
    void StartWith(const std::string& directory, bool unattended = true) {
        master.Settings.DLLDirectory = directory;
        master.Settings.Unattended = unattended;
        opr.StartUp();
    }
    bool Reported(int code) const {
        for (const auto& [c, text] : messages)
            if (c == code) return true;
        return false;
    }

    TZKMaster master;
    TZKDLLLoader loader;
    TZKDLLOpr opr{master, &loader};
    platform::ScriptedUi* ui = nullptr;
    std::vector<std::pair<int, std::string>> messages;

private:
    std::unique_ptr<platform::UiService> previous_;
};

}  // namespace lunaro::archive::testkit

#pragma once
// An engine operation object over a bare component, with a loader of its
// own, so each test starts with no engine loaded.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/driver/dll_loader.h"
#include "archive/driver/dll_opr.h"
#include "tests/archive/core_fixture.h"

namespace lunaro::archive::testkit {

// Folder of one built stand-in engine ("good", "v191", "oldpriv", "nobanner").
inline std::string FakeEngineDir(const std::string& variant) { return std::string(LUNARO_FAKE_ENGINES) + "/" + variant; }

class DriverTest : public ScriptedMasterTest {
protected:
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

    TZKDLLLoader loader;
    TZKDLLOpr opr{master, &loader};
};

}  // namespace lunaro::archive::testkit

#pragma once
// The driver running the engine this tree builds, over archives the tests
// write themselves (with Debian's archivers or the test zip writer), into a
// scratch destination whose every file the tests can account for.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/archive/driver/driver_fixture.h"
#include "tests/support/test_support.h"
#include "tests/support/zip_builder.h"

namespace lunaro::archive::testkit {

using lunaro::testkit::ReadFile;
using lunaro::testkit::WriteFile;
using lunaro::testkit::ZipBuilder;
using lunaro::testkit::ZipEntrySpec;

// An entry of the test zip writer; tests set the odd fields afterwards.
inline ZipEntrySpec EntrySpec(std::string name, std::string data) {
    ZipEntrySpec entry;
    entry.name = std::move(name);
    entry.data = std::move(data);
    return entry;
}

inline const TZKExtrOpts kKeepAndOverwrite{TZKExtrOptsEnum::ExtrDirNames, TZKExtrOptsEnum::ExtrOverWrite};

class RealEngineTest : public DriverTest {
protected:
    RealEngineTest() {
        std::filesystem::create_directory(Out());
        master.OnSkipped = [this](TZKMaster&, const std::string& name, TZKSkipTypes type, int&) {
            skipped.emplace_back(name, type);
        };
        master.OnCRC32Error = [this](TZKMaster&, const std::string& name, uint32_t, uint32_t, bool&) {
            crcErrors.push_back(name);
        };
    }

    // Extracts zip into Out() through the driver; the engine's result count.
    int Extract(const std::string& zip, TZKExtrOpts options, const std::string& password = "") {
        master.Settings.ExtrBaseDir = Out();
        master.Settings.ExtrOptions = options;
        master.Settings.Password = password;
        if (master.Settings.FSpecArgs.empty() && opr.Pipes.empty()) master.Settings.FSpecArgs = {"*.*"};
        StartWith(LUNARO_REAL_ENGINE);
        opr.Set_ZipFileName(zip, TZipLoadOpts::zloSilent);
        opr.Extract();
        const int count = opr.SuccessCnt();
        opr.Done(true);
        return count;
    }
    // Runs a shell command in the scratch folder; false when it fails.
    bool Shell(const std::string& command) const {
        return std::system(("cd '" + work.Path() + "' && (" + command + ") >/dev/null 2>&1").c_str()) == 0;
    }
    std::string Out() const { return work.File("out"); }
    std::string OutFile(const std::string& name) const { return Out() + "/" + name; }
    // Every path under Out(), folders ending in "/": what a run left behind.
    std::set<std::string> OutContents() const {
        std::set<std::string> found;
        for (const auto& item : std::filesystem::recursive_directory_iterator(Out())) {
            std::string path = item.path().lexically_relative(Out()).string();
            if (item.is_directory() && !item.is_symlink()) path += "/";
            found.insert(path);
        }
        return found;
    }
    bool WasSkipped(const std::string& name, TZKSkipTypes type) const {
        for (const auto& [n, t] : skipped)
            if (n == name && t == type) return true;
        return false;
    }

    lunaro::testkit::TempDir work;
    std::vector<std::pair<std::string, TZKSkipTypes>> skipped;
    std::vector<std::string> crcErrors;
};

}  // namespace lunaro::archive::testkit

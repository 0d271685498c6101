#pragma once
// An operation object with the directory layer over a bare component, the
// scripted user interface, a temporary folder and helpers that write test
// archives and open them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/directory/waux.h"
#include "archive/reader/zip_file.h"
#include "platform/ui_service.h"
#include "tests/support/test_support.h"
#include "tests/support/zip_builder.h"

namespace lunaro::archive::reader_testing {

class ReaderTest : public ::testing::Test {
protected:
    ReaderTest() {
        ui = std::make_shared<platform::ScriptedUi>();
        previous_ = platform::SetUi(ui);
        master.OnMessage = [this](TZKMaster&, int code, const std::string& text) { messages.emplace_back(code, text); };
        core.StartUp();
    }
    ~ReaderTest() override { platform::SetUi(std::move(previous_)); }

    // Applies changed component settings as a new operation would.
    void Restart() {
        core.Done(true);
        core.StartUp();
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        lunaro::testkit::WriteFile(dir.File(name), bytes);
        return dir.File(name);
    }

    // Opens (and by default loads) an archive object over the file.
    std::unique_ptr<TZKZipFile> OpenZip(const std::string& path, int& result, bool noLoad = false) {
        auto zip = std::make_unique<TZKZipFile>(core);
        zip->SetFileName(path);
        result = zip->Open(false, noLoad);
        return zip;
    }

    static lunaro::testkit::ZipEntrySpec Entry(std::string name, std::string data = "") {
        lunaro::testkit::ZipEntrySpec entry;
        entry.name = std::move(name);
        entry.data = std::move(data);
        return entry;
    }

    TZKMaster master;
    TZKWAux core{master};
    lunaro::testkit::TempDir dir;
    std::shared_ptr<platform::ScriptedUi> ui;
    std::vector<std::pair<int, std::string>> messages;

private:
    std::shared_ptr<platform::UiService> previous_;
};

}  // namespace lunaro::archive::reader_testing

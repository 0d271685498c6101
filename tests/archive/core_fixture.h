#pragma once
// A bare operation object over a bare component, with the scripted user
// interface installed for the test's lifetime.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "archive/operation/zk_core.h"
#include "platform/ui_service.h"

namespace lunaro::archive::testkit {

class TestCore : public TZKCore {
public:
    using TZKCore::TZKCore;
    std::vector<TZKEncodingOpts> encodings;
    std::vector<uint32_t> codePages;

protected:
    void EncodingChanged(TZKEncodingOpts encoding) override { encodings.push_back(encoding); }
    void CodePageChanged(uint32_t codePage) override { codePages.push_back(codePage); }
};

// A bare component whose messages are collected, with the scripted user
// interface installed for the test's lifetime.
class ScriptedMasterTest : public ::testing::Test {
protected:
    ScriptedMasterTest() {
        ui = std::make_shared<platform::ScriptedUi>();
        previous_ = platform::SetUi(ui);
        master.OnMessage = [this](TZKMaster&, int code, const std::string& text) { messages.emplace_back(code, text); };
    }
    ~ScriptedMasterTest() override { platform::SetUi(std::move(previous_)); }

    TZKMaster master;
    std::shared_ptr<platform::ScriptedUi> ui;
    std::vector<std::pair<int, std::string>> messages;

private:
    std::shared_ptr<platform::UiService> previous_;
};

class CoreTest : public ScriptedMasterTest {
protected:
    TestCore core{master};
};

}  // namespace lunaro::archive::testkit

// The process-wide user-interface service: who owns an implementation, and
// how long it lives once replaced.
#include "platform/ui_service.h"

#include <gtest/gtest.h>

#include <memory>

namespace lunaro::platform {
namespace {

struct Marks {
    bool destroyed = false;
    bool aliveAfterReplacing = false;
};

// Replaces itself with the headless service from inside a call, then goes on
// using its own members, as a window-system service closing its main window
// while a box is up might. What happens to it is marked outside it.
class SelfReplacingUi : public ScriptedUi {
public:
    explicit SelfReplacingUi(Marks& marks) : marks_(marks) {}
    ~SelfReplacingUi() override { marks_.destroyed = true; }

    int MessageBox(const MessageBoxRequest& request) override {
        SetUi(nullptr);  // drops the share SetUi hands back at once
        marks_.aliveAfterReplacing = !marks_.destroyed;
        return ScriptedUi::MessageBox(request);
    }

private:
    Marks& marks_;
};

class UiServiceTest : public ::testing::Test {
protected:
    UiServiceTest() : previous_(SetUi(nullptr)) {}
    ~UiServiceTest() override { SetUi(previous_); }

private:
    std::shared_ptr<UiService> previous_;
};

TEST_F(UiServiceTest, ServiceReplacedDuringItsOwnCallLivesUntilTheCallReturns) {
    Marks marks;
    SetUi(std::make_unique<SelfReplacingUi>(marks));

    MessageBoxRequest request;
    request.text = "still here?";
    request.defaultButton = mrYes;
    // The box is answered by the service that was asked, though it is no
    // longer installed when it answers; only then is it freed.
    EXPECT_EQ(Ui().MessageBox(request), mrYes);
    EXPECT_TRUE(marks.aliveAfterReplacing);
    EXPECT_TRUE(marks.destroyed);
}

TEST_F(UiServiceTest, HandleTakenBeforeAReplacementKeepsItsService) {
    auto first = std::make_shared<ScriptedUi>();
    SetUi(first);
    UiHandle handle = Ui();
    auto second = std::make_shared<ScriptedUi>();
    EXPECT_EQ(SetUi(second), first);
    first.reset();  // the caller that installed it lets go too

    handle.ProcessMessages();
    Ui().ProcessMessages();
    Ui().ProcessMessages();
    EXPECT_EQ(second->processMessagesCalls, 2);
    EXPECT_EQ(std::dynamic_pointer_cast<ScriptedUi>(SetUi(nullptr)), second);
}

}  // namespace
}  // namespace lunaro::platform

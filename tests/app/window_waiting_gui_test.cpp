// The window while a transfer waits for a server that says nothing: it
// still repaints, shows that it is busy, and can be stopped.
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/window/uPrincipal.h"
#include "tests/app/installer_test_env.h"
#include "tests/app/qt_test_application.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/peer_scripted.h"

namespace lunaro::app {
namespace {

using testkit::PeerScript;

// Scripted answers, with the window's events really handled.
class EventHandlingUi : public platform::ScriptedUi {
public:
    void ProcessMessages() override {
        ScriptedUi::ProcessMessages();
        QApplication::processEvents();
    }
};

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

TEST(WindowWaiting, ASilentServerLeavesTheWindowRepaintingAndSimStopsIt) {
    testkit::TestApplication();
    testkit::InstallerTestEnv env;
    env.ReplaceUi(std::make_unique<EventHandlingUi>());
    // Takes the request, then says nothing for far longer than the test runs.
    testkit::ScriptedPeer silent(PeerScript().ReadUntil("\r\n\r\n").Pause(60000));
    ASSERT_TRUE(silent.Listening());
    testkit::ScopedEnv base{"LUNARO_BASE_URL", "http://127.0.0.1:" + silent.PortText() + "/"};

    TfrmPrincipal window;
    window.show();
    PaintCounter counter;
    window.installEventFilter(&counter);
    Qt::CursorShape cursorWhileWaiting = Qt::ArrowCursor;
    int paintsWhileWaiting = 0;
    bool closeAsked = false;
    // These timers fire only if the waiting transfer lets events through.
    QTimer::singleShot(300, &window, [&] {
        cursorWhileWaiting = window.cursor().shape();
        counter.paints = 0;
        window.update();
        QTimer::singleShot(300, &window, [&] {
            paintsWhileWaiting = counter.paints;
            closeAsked = true;
            env.Ui().QueueAnswer(platform::mrYes);
            window.close();
        });
    });
    window.findChild<QPushButton*>("btnInstalar")->click();

    EXPECT_TRUE(closeAsked);
    EXPECT_EQ(cursorWhileWaiting, Qt::WaitCursor);
    EXPECT_GT(paintsWhileWaiting, 0);
    EXPECT_EQ(env.Messages(), std::vector<std::string>{"Deseja interromper a instalação?"});
    EXPECT_FALSE(window.isVisible());
    // Stopped while the server was still silent, not by the time-out.
    EXPECT_FALSE(silent.WaitDone(0));
    EXPECT_EQ(silent.Received().rfind("GET /ZipEngine190.dll ", 0), 0u) << silent.Received();
}

}  // namespace
}  // namespace lunaro::app

// The window as an operator drives it: stopping, retrying and continuing an
// installation, what the bar shows, and the keyboard.
#include <QApplication>
#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "app/install_mark.h"
#include "app/window/qt_ui_service.h"
#include "app/window/uPrincipal.h"
#include "tests/app/demo_server.h"
#include "tests/app/installer_test_env.h"
#include "tests/app/qt_test_application.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/zip_builder.h"

namespace lunaro::app {
namespace {

using testkit::InstallerTestEnv;
using Requests = std::vector<std::string>;

constexpr const char* kShortcutDone = "Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo";

// Runs an action at the first event processing of a transfer, and keeps
// what the bar showed whenever a box came up.
class OperatorUi : public platform::ScriptedUi {
public:
    // A few blocks in, so that part of the file is already on disk.
    void ProcessMessages() override {
        ScriptedUi::ProcessMessages();
        if (duringTransfer && processMessagesCalls == 8) std::exchange(duringTransfer, nullptr)();
    }
    int MessageBox(const platform::MessageBoxRequest& request) override {
        if (bar) barAtBox.push_back(bar->value());
        return ScriptedUi::MessageBox(request);
    }
    std::function<void()> duringTransfer;
    QProgressBar* bar = nullptr;
    std::vector<int> barAtBox;
};

class WindowOperator : public ::testing::Test {
protected:
    void SetUp() override {
        LUNARO_REQUIRE_PEER(server.Running(), server.Error());
        auto ui = std::make_unique<OperatorUi>();
        user = ui.get();
        env.ReplaceUi(std::move(ui));
    }

    // A package big enough to arrive in many blocks (an archive that
    // stores its one file, for a zip name).
    void MakeLarge(const std::string& name) {
        const std::string bytes(4 << 20, 'x');
        testkit::WriteFile(server.PackagesFolder() + "/" + name,
                           name.ends_with(".zip") ? testkit::ZipBuilder().AddFile("BANCO.FDB", bytes).Build() : bytes);
    }
    std::unique_ptr<TfrmPrincipal> OpenWindow() {
        auto window = std::make_unique<TfrmPrincipal>();
        window->show();
        if (user) user->bar = window->findChild<QProgressBar*>("ProgressBar1");
        return window;
    }
    static void PressInstalar(TfrmPrincipal& window) { window.findChild<QPushButton*>("btnInstalar")->click(); }

    QApplication& application = testkit::TestApplication();
    InstallerTestEnv env;
    testkit::DemoServer server{env.Root()};
    testkit::ScopedEnv base{"LUNARO_BASE_URL", server.BaseUrl()};
    OperatorUi* user = nullptr;
};

TEST_F(WindowOperator, ClosingDuringATransferAndSayingSimStopsAtOnceKeepingThePart) {
    MakeLarge("ZipEngine190.dll");
    auto window = OpenWindow();
    user->duringTransfer = [&] { window->close(); };
    user->QueueAnswer(platform::mrYes);
    PressInstalar(*window);

    EXPECT_EQ(env.Messages(), Requests{"Deseja interromper a instalação?"});
    EXPECT_EQ(env.Ui().shown[0].box.buttons, (std::vector<platform::ModalResult>{platform::mrYes, platform::mrNo}));
    EXPECT_FALSE(window->isVisible());
    // Nothing after the stop: no final name, no next package.
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/ZipEngine190.dll")));
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/LunaroSoftInstalacao.zip")));
    const std::string part = env.OnDriveC("Lunaro/ZipEngine190.dll.part");
    ASSERT_TRUE(std::filesystem::exists(part));
    EXPECT_GT(std::filesystem::file_size(part), 0u);
    EXPECT_LT(std::filesystem::file_size(part), 4u << 20);
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_TRUE(InterruptedInstallChoices());  // a later run can continue it
}

TEST_F(WindowOperator, ClosingAndSayingNaoGoesOnToTheEndWithTheBarFull) {
    MakeLarge("banco.zip");
    auto window = OpenWindow();
    user->duringTransfer = [&] { window->close(); };
    user->QueueAnswer(platform::mrNo);
    PressInstalar(*window);

    EXPECT_EQ(env.Messages(), (Requests{"Deseja interromper a instalação?", kShortcutDone}));
    EXPECT_EQ(server.Requests().size(), 5u);
    EXPECT_EQ(std::filesystem::file_size(env.OnDriveC("Lunaro/Banco/BANCO.FDB")), 4u << 20);
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/Banco/banco.zip")));
    EXPECT_FALSE(window->isVisible());
    // The last package complete: the bar full when the closing message came.
    EXPECT_EQ(user->barAtBox.back(), user->bar->maximum());
    EXPECT_GE(user->bar->maximum(), 4 << 20);
    EXPECT_FALSE(InterruptedInstallChoices());
}

TEST_F(WindowOperator, AFailedTransferEmptiesTheBarAndAnInterruptedInstallationIsContinued) {
    // banco.zip is missing and the operator stops there.
    const std::string banco = server.PackagesFolder() + "/banco.zip";
    const std::string bytes = testkit::ReadFile(banco);
    std::filesystem::remove(banco);
    auto first = OpenWindow();
    first->findChild<QRadioButton*>("chkEstacao")->click();  // then back: what was started is kept
    first->findChild<QRadioButton*>("chkLocal")->click();
    first->findChild<QCheckBox*>("chkPaf")->setChecked(false);
    user->QueueAnswer(platform::mrAbort);
    PressInstalar(*first);
    ASSERT_EQ(env.Messages().size(), 2u);
    EXPECT_EQ(user->barAtBox[0], 0);  // the 404 body did not leave it looking complete
    EXPECT_FALSE(first->isVisible());
    first.reset();  // the program ends: its last transfer lets go of the partial file

    // Half of it already came in an earlier attempt; the rest comes now.
    testkit::WriteFile(banco, bytes);
    testkit::WriteFile(env.OnDriveC("Lunaro/Banco/banco.zip.part"), bytes.substr(0, bytes.size() / 2));
    auto second = OpenWindow();
    second->findChild<QCheckBox*>("chkPaf")->setChecked(true);  // the recorded choice wins
    user->QueueAnswer(platform::mrYes);
    PressInstalar(*second);

    EXPECT_EQ(env.Messages()[2], "Uma instalação anterior não foi concluída nesse computador. Deseja continuá-la?");
    EXPECT_EQ(env.Messages().back(), kShortcutDone);
    EXPECT_FALSE(second->findChild<QCheckBox*>("chkPaf")->isChecked());
    const Requests requests = server.Requests();
    EXPECT_EQ(Requests(requests.begin() + 3, requests.end()), Requests{"/banco.zip 206"});
    // The resumed archive was whole: it unpacked, and went away.
    EXPECT_EQ(testkit::ReadFile(env.OnDriveC("Lunaro/Banco/BANCO.FDB")),
              testkit::ReadFile(std::string(LUNARO_SOURCE_DIR) + "/demo/packages/banco/BANCO.FDB"));
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/Banco/banco.zip")));
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/Banco/banco.zip.part")));
    EXPECT_TRUE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_FALSE(InterruptedInstallChoices());

    // Finished now: refused as any installation is.
    auto third = OpenWindow();
    PressInstalar(*third);
    EXPECT_EQ(env.Messages().back(), "Já Existe uma instalação nesse computador, não pode ser instalada novamente");
}

TEST_F(WindowOperator, SayingNaoToContinuingChangesNothing) {
    InstallChoices started;
    started.mode = InstallMode::Workstation;
    BeginInstallMark(started);
    auto window = OpenWindow();
    user->QueueAnswer(platform::mrNo);
    PressInstalar(*window);
    EXPECT_EQ(env.Messages().size(), 1u);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(window->findChild<QRadioButton*>("chkLocal")->isChecked());
    EXPECT_TRUE(window->findChild<QPushButton*>("btnInstalar")->isEnabled());
    EXPECT_TRUE(window->isVisible());
}

// With the real boxes: keys go to whichever modal box is up, in order.
class KeyboardOperator {
public:
    explicit KeyboardOperator(std::vector<Qt::Key> keys) : keys_(std::move(keys)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box || next_ >= keys_.size()) return;
            boxTexts.push_back(box->findChild<QWidget*>("qt_msgbox_label")->property("text").toString());
            QTest::keyClick(box, keys_[next_++]);
        });
        timer_.start(20);
    }
    QStringList boxTexts;

private:
    std::vector<Qt::Key> keys_;
    size_t next_ = 0;
    QTimer timer_;
};

TEST_F(WindowOperator, EnterOnTheFailureBoxRetries) {
    std::filesystem::remove(server.PackagesFolder() + "/ZipEngine190.dll");
    env.ReplaceUi(nullptr);
    user = nullptr;  // freed with the scripted service it was
    platform::SetUi(std::make_unique<QtUiService>());
    // Enter twice (two more tries), Escape stops, Enter reads the last word.
    KeyboardOperator keyboard({Qt::Key_Return, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Return});
    auto window = OpenWindow();
    PressInstalar(*window);

    EXPECT_EQ(server.Requests(), Requests(3, "/ZipEngine190.dll 404"));
    ASSERT_EQ(keyboard.boxTexts.size(), 4);
    EXPECT_TRUE(keyboard.boxTexts[0].contains("ZipEngine190.dll")) << keyboard.boxTexts[0].toStdString();
    EXPECT_TRUE(keyboard.boxTexts[3].startsWith("A instalação foi interrompida"));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowOperator, KeyboardFocusTabStopsEnterAndTheHiddenPage) {
    auto window = OpenWindow();
    window->activateWindow();
    auto* local = window->findChild<QRadioButton*>("chkLocal");
    auto* station = window->findChild<QRadioButton*>("chkEstacao");
    auto* pos = window->findChild<QRadioButton*>("chkSomentePDV");
    auto* button = window->findChild<QPushButton*>("btnInstalar");
    auto* pc = window->findChild<QTabWidget*>("pc");
    EXPECT_EQ(window->focusWidget(), local);

    // Only the selected mode takes the focus by Tab.
    EXPECT_TRUE(local->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(station->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(pos->focusPolicy() & Qt::TabFocus);
    pos->click();
    EXPECT_FALSE(local->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(pos->focusPolicy() & Qt::TabFocus);

    // Ctrl+Tab walks the visible pages only.
    station->click();
    pc->setFocus();
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(pc, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_NE(pc->currentWidget()->objectName(), QString("TabSheet1")) << i;
    }

    // Enter on the focused button runs the installation (here its refusal).
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(env.Messages(),
              Requests{"Para instalação de Estação em Rede, necessário informar o Servidor e Caminho do Banco"});
}

}  // namespace
}  // namespace lunaro::app

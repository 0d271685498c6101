#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <gtest/gtest.h>

#include "app/window/uPrincipal.h"
#include "tests/app/demo_server.h"
#include "tests/app/installer_test_env.h"
#include "tests/app/qt_test_application.h"
#include "tests/platform/scoped_env.h"

namespace lunaro::app {
namespace {

using testkit::InstallerTestEnv;

// Records the order in which the watched controls turn disabled.
class DisableRecorder : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && !static_cast<QWidget*>(watched)->isEnabled())
            order << watched->objectName();
        return false;
    }
    QStringList order;
};

QStringList EnabledControls(const QWidget& window) {
    QStringList enabled;
    for (const char* name : {"btnInstalar", "chkEstacao", "chkLocal", "pc", "chkPaf", "chkSomentePDV"})
        if (window.findChild<QWidget*>(name)->isEnabled()) enabled << name;
    return enabled;
}

// A user who presses "Instalar" again while the first transfer lets events
// through, and notes which controls were enabled at that moment.
class ImpatientUser : public platform::ScriptedUi {
public:
    void ProcessMessages() override {
        ScriptedUi::ProcessMessages();
        if (!window || clicked) return;
        clicked = true;
        enabledDuringTransfer = EnabledControls(*window);
        window->findChild<QPushButton*>("btnInstalar")->click();
    }
    QWidget* window = nullptr;
    bool clicked = false;
    QStringList enabledDuringTransfer;
};

TEST(WindowInstall, SpacesCountAsTextAndTheControlsAreDisabledInOrder) {
    testkit::TestApplication();
    InstallerTestEnv env;
    // Nothing listens there: the first package fails at once.
    testkit::ScopedEnv base("LUNARO_BASE_URL", "http://127.0.0.1:" + std::to_string(testkit::FreeLoopbackPort()) + "/");
    TfrmPrincipal window;
    window.show();
    DisableRecorder recorder;
    for (const char* name : {"btnInstalar", "chkEstacao", "chkLocal", "pc", "chkPaf", "chkSomentePDV"})
        window.findChild<QWidget*>(name)->installEventFilter(&recorder);

    window.findChild<QRadioButton*>("chkEstacao")->click();
    window.findChild<QLineEdit*>("edtServidor")->setText(" ");
    window.findChild<QLineEdit*>("edtCaminho")->setText(" ");
    env.Ui().QueueAnswer(platform::mrAbort);
    window.findChild<QPushButton*>("btnInstalar")->click();

    EXPECT_EQ(recorder.order, (QStringList{"btnInstalar", "chkEstacao", "chkLocal", "pc", "chkPaf"}));
    ASSERT_EQ(env.Messages().size(), 2u);  // no refusal: the failed package, then the stop
    const platform::MessageBoxRequest& box = env.Ui().shown[0].box;
    EXPECT_NE(box.text.find("ZipEngine190.dll"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("Motivo: conexão recusada (10061)"), std::string::npos) << box.text;
    EXPECT_EQ(box.buttons, (std::vector<platform::ModalResult>{platform::mrRetry, platform::mrAbort}));
    // Stopped: nothing re-enabled, no shortcut, the window closes after
    // telling which package is missing.
    EXPECT_EQ(EnabledControls(window), QStringList{"chkSomentePDV"});
    EXPECT_FALSE(std::filesystem::exists(env.DesktopFile("Ventrix.desktop")));
    EXPECT_EQ(env.Messages()[1],
              "A instalação foi interrompida: falta o pacote ZipEngine190.dll\n"
              "Execute o instalador novamente para continuar a instalação.");
    EXPECT_FALSE(window.isVisible());
}

class WindowWithDemoServer : public ::testing::Test {
protected:
    void SetUp() override { LUNARO_REQUIRE_PEER(server.Running(), server.Error()); }

    QApplication& application = testkit::TestApplication();
    InstallerTestEnv env;
    testkit::DemoServer server{env.Root()};
};

TEST_F(WindowWithDemoServer, TheDefaultChoicesRunTheFullInstallationAndClose) {
    testkit::ScopedEnv base("LUNARO_BASE_URL", server.BaseUrl());
    TfrmPrincipal window;
    window.show();
    window.findChild<QPushButton*>("btnInstalar")->click();
    EXPECT_EQ(server.Requests(),
              (std::vector<std::string>{"/ZipEngine190.dll 200", "/LunaroSoftInstalacao.zip 200",
                                        "/LunaroPafInstalacao.zip 200", "/GDS32.zip 200", "/banco.zip 200"}));
    EXPECT_EQ(env.Messages(),
              std::vector<std::string>{"Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo"});
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.PackageName(), "banco.zip");
    EXPECT_EQ(window.PackageFolder(), "c:\\Lunaro\\Banco\\");
    EXPECT_TRUE(std::filesystem::exists(env.OnDriveC("Lunaro/Banco/BANCO.FDB")));
    EXPECT_FALSE(std::filesystem::exists(env.OnDriveC("Lunaro/Banco/banco.zip")));
}

TEST_F(WindowWithDemoServer, PointOfSaleDisablesNothingAndRefusesASecondStart) {
    testkit::ScopedEnv base("LUNARO_BASE_URL", server.BaseUrl());
    auto user = std::make_unique<ImpatientUser>();
    ImpatientUser& impatient = *user;
    env.ReplaceUi(std::move(user));
    TfrmPrincipal window;
    window.show();
    impatient.window = &window;
    window.findChild<QRadioButton*>("chkSomentePDV")->click();
    window.findChild<QPushButton*>("btnInstalar")->click();

    EXPECT_TRUE(impatient.clicked);
    EXPECT_EQ(impatient.enabledDuringTransfer,
              (QStringList{"btnInstalar", "chkEstacao", "chkLocal", "pc", "chkPaf", "chkSomentePDV"}));
    // The engine comes first: without it nothing could be unpacked.
    EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/ZipEngine190.dll 200", "/LunaroPafInstalacao.zip 200",
                                                           "/GDS32.zip 200"}));
    EXPECT_TRUE(std::filesystem::exists(env.OnDriveC("LunaroPaf/PafEcf.ini")));
    EXPECT_EQ(env.Messages(), std::vector<std::string>{
                                  "Para Abrir o PDV, abra o sistema Zeltra e no menu esquerdo VENDAS / CUPOM FISCAL"});
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace lunaro::app

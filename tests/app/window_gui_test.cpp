#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QtTest/QTest>

#include <filesystem>
#include <gtest/gtest.h>

#include "app/window/uPrincipal.h"
#include "tests/app/installer_test_env.h"
#include "tests/app/qt_test_application.h"

namespace lunaro::app {
namespace {

using testkit::InstallerTestEnv;

class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        window.show();
        window.activateWindow();
    }

    template <typename Widget>
    Widget* Find(const char* name) {
        Widget* widget = window.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QRadioButton* Radio(const char* name) { return Find<QRadioButton>(name); }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
    QTabWidget* Pages() { return Find<QTabWidget>("pc"); }
    void PressInstalar() { Find<QPushButton>("btnInstalar")->click(); }

    QApplication& application = testkit::TestApplication();  // before any widget
    InstallerTestEnv env;
    TfrmPrincipal window;
};

TEST_F(WindowTest, StartsWithTheDesignedControls) {
    EXPECT_EQ(window.windowTitle(), QString("LunaroSoft - Instalação"));
    EXPECT_EQ(window.size(), QSize(618, 447));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::white));

    EXPECT_TRUE(Radio("chkLocal")->isChecked());
    EXPECT_FALSE(Radio("chkEstacao")->isChecked());
    EXPECT_FALSE(Radio("chkSomentePDV")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("chkPaf")->isChecked());
    EXPECT_EQ(Radio("chkLocal")->text(), QString("Instalação Completa com Banco de Dados"));
    EXPECT_EQ(Radio("chkEstacao")->text(), QString("Instalação de Estação Sem Banco de Dados"));
    EXPECT_EQ(Radio("chkSomentePDV")->text(), QString("Somente Instalar o PDV"));
    EXPECT_EQ(Find<QCheckBox>("chkPaf")->text(), QString("Instalação do PDV - PAF"));
    EXPECT_EQ(Radio("chkLocal")->geometry(), QRect(259, 153, 351, 22));
    EXPECT_EQ(Radio("chkLocal")->font().pixelSize(), 17);
    EXPECT_EQ(window.font().pixelSize(), 11);

    QTabWidget* pc = Pages();
    EXPECT_FALSE(pc->isVisibleTo(&window));
    EXPECT_EQ(pc->geometry(), QRect(259, 256, 351, 112));
    EXPECT_EQ(pc->currentWidget()->objectName(), QString("tsLocal"));
    EXPECT_EQ(pc->tabText(0), QString("Rede"));
    EXPECT_EQ(pc->tabText(1), QString("Nuvens"));
    EXPECT_FALSE(pc->isTabVisible(2));
    EXPECT_EQ(Edit("edtServidor")->maxLength(), 100);
    EXPECT_EQ(Edit("edtCaminho")->maxLength(), 200);
    EXPECT_EQ(Edit("edtEmpresa")->maxLength(), 100);
    EXPECT_FALSE(Edit("edURL")->isEnabled());
    EXPECT_FALSE(Edit("edFile")->isEnabled());

    QLabel* info = Find<QLabel>("lConnectionInfo");
    EXPECT_FALSE(info->isVisibleTo(&window));
    EXPECT_EQ(info->text(), QString("Connection Info"));
    QPushButton* button = Find<QPushButton>("btnInstalar");
    EXPECT_EQ(button->text(), QString("Instalar"));
    EXPECT_EQ(button->geometry(), QRect(259, 374, 351, 41));
    EXPECT_TRUE(button->font().bold());
    QProgressBar* bar = Find<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->geometry(), QRect(0, 427, 618, 20));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(Find<QLabel>("Image2")->geometry(), QRect(8, 8, 600, 134));
    EXPECT_EQ(Find<QLabel>("Image1")->geometry(), QRect(13, 144, 225, 225));
}

TEST_F(WindowTest, TabOrderFollowsTheDesign) {
    // The progress bar has its place in the design's order but takes no focus.
    const QStringList designed = {"pc", "chkEstacao", "chkLocal", "btnInstalar", "chkPaf", "chkSomentePDV"};
    QStringList seen;
    QWidget* widget = Pages();
    for (int i = 0; i < 200 && seen.size() < designed.size(); ++i, widget = widget->nextInFocusChain())
        if (designed.contains(widget->objectName()) && !seen.contains(widget->objectName()))
            seen << widget->objectName();
    EXPECT_EQ(seen, designed);
}

TEST_F(WindowTest, ThePagesShowOnlyForTheWorkstationAndKeepTheirActivePage) {
    QTabWidget* pc = Pages();
    Radio("chkEstacao")->click();
    EXPECT_TRUE(pc->isVisibleTo(&window));
    pc->setCurrentWidget(Find<QWidget>("tsNuvens"));
    Radio("chkLocal")->click();
    EXPECT_FALSE(pc->isVisibleTo(&window));
    EXPECT_EQ(pc->currentWidget()->objectName(), QString("tsNuvens"));

    Find<QCheckBox>("chkPaf")->setChecked(false);
    Radio("chkEstacao")->click();
    Radio("chkSomentePDV")->click();
    EXPECT_FALSE(pc->isVisibleTo(&window));
    EXPECT_TRUE(Find<QCheckBox>("chkPaf")->isChecked());
}

TEST_F(WindowTest, RefusalsShowTheirMessageMoveTheFocusAndDisableNothing) {
    Radio("chkEstacao")->click();
    Edit("edtServidor")->setText("SRV01");
    PressInstalar();
    Edit("edtServidor")->clear();
    Edit("edtCaminho")->setText("C:\\Dados\\BANCO.FDB");
    Edit("edtEmpresa")->setFocus();
    PressInstalar();
    const std::string network =
        "Para instalação de Estação em Rede, necessário informar o Servidor e Caminho do Banco";
    EXPECT_EQ(env.Messages(), (std::vector<std::string>{network, network}));
    EXPECT_EQ(window.focusWidget(), Edit("edtServidor"));

    // The cloud page, left active while the pages were hidden, still decides.
    Pages()->setCurrentWidget(Find<QWidget>("tsNuvens"));
    Radio("chkLocal")->click();
    Radio("chkEstacao")->click();
    PressInstalar();
    EXPECT_EQ(env.Messages().back(),
              "Para instalação de Estação nas Núvens, necessário informar o Alias da Empresa");
    EXPECT_EQ(window.focusWidget(), Edit("edtEmpresa"));

    std::filesystem::create_directories(env.OnDriveC("lunaro"));
    Radio("chkLocal")->click();
    PressInstalar();
    EXPECT_EQ(env.Messages().back(), "Já Existe uma instalação nesse computador, não pode ser instalada novamente");
    for (const char* name : {"chkLocal", "chkEstacao", "chkSomentePDV", "chkPaf", "pc", "edtServidor", "edtCaminho",
                             "edtEmpresa", "btnInstalar", "ProgressBar1"})
        EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(env.Ui().shown.front().box.caption, "LunaroSoft - Instalador");
}

TEST_F(WindowTest, TheAliasIsUpperCasedAsItIsTyped) {
    QTest::keyClicks(Edit("edtEmpresa"), "minha empresa&cia");
    EXPECT_EQ(Edit("edtEmpresa")->text(), QString("MINHA EMPRESA&CIA"));
    EXPECT_EQ(window.CurrentChoices().companyAlias, "MINHA EMPRESA&CIA");
}

TEST_F(WindowTest, TheBarStaysWithinItsRange) {
    QProgressBar* bar = Find<QProgressBar>("ProgressBar1");
    window.SetProgressPosition(500);
    EXPECT_EQ(bar->value(), 100);  // beyond the maximum: full
    window.SetProgressMaximum(0);
    window.SetProgressPosition(10);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GT(bar->maximum(), 0);  // an empty bar rather than a busy indicator
    window.SetProgressMaximum(4000);
    window.SetProgressPosition(1000);
    EXPECT_EQ(bar->value(), 1000);
    window.SetConnectionInfo("Download Finalizado.");
    EXPECT_EQ(Find<QLabel>("lConnectionInfo")->text(), QString("Download Finalizado."));
}

TEST_F(WindowTest, CaptionsFitInTheDesignedFace) {
    LUNARO_REQUIRE_PEER(std::filesystem::exists("/usr/share/wine/fonts/tahoma.ttf"),
                        "the Tahoma-compatible face (package fonts-wine)");
    EXPECT_EQ(QFontInfo(window.font()).family(), QString("Tahoma"));
    EXPECT_EQ(QFontInfo(Radio("chkLocal")->font()).family(), QString("Tahoma"));
    // Every caption the operator sees is whole within its control: the
    // text's advance, behind the indicator of a choice.
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window)) continue;
        const QString text = control->property("text").toString();
        if (text.isEmpty()) continue;
        int room = control->width();
        if (qobject_cast<QRadioButton*>(control))
            room -= control->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, control) +
                    control->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, control);
        if (qobject_cast<QCheckBox*>(control))
            room -= control->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control) +
                    control->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, control);
        EXPECT_LE(control->fontMetrics().horizontalAdvance(text), room) << control->objectName().toStdString();
    }
}

}  // namespace
}  // namespace lunaro::app

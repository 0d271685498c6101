// The archive component's box on Qt widgets: the component's request laid
// out in dialog units, with its named controls and the password field.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "app/window/zip_dialog_qt.h"
#include "archive/messages/zip_dialog_box.h"
#include "tests/app/qt_test_application.h"

namespace lunaro::app {
namespace {

using archive::TMsgDlgBtn;
using archive::TMsgDlgButtons;

platform::DialogRequest RequestFor(int type, TMsgDlgButtons buttons, const std::string& text) {
    archive::TZipDialogBox box(type << 16);
    box.Build("Password", text, buttons);
    return box.Request();
}

// Acts on the dialog once it is up.
void WhenShown(const std::function<void(QWidget&)>& act) {
    QTimer::singleShot(0, [act] {
        if (QWidget* box = QApplication::activeModalWidget()) act(*box);
    });
}

TEST(ZipDialogBox, ThePasswordTypeIsWideMaskedAndHandsBackWhatWasTyped) {
    testkit::TestApplication();
    const platform::DialogRequest request =
        RequestFor(archive::kDlgPassword, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}, "Enter Password ");
    QtZipDialog dialog(request, "Enter Password ", nullptr);
    const QSize average = AverageCharacterSize(dialog.font());
    EXPECT_GE(dialog.width(), 80 * average.width());
    EXPECT_EQ(dialog.findChild<QLabel*>("Image"), nullptr);  // no icon for this type
    ASSERT_NE(dialog.findChild<QLabel*>("zkdText"), nullptr);
    auto* edit = dialog.findChild<QLineEdit*>("zkdEdit");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit->maxLength(), 80);

    auto* ok = dialog.findChild<QPushButton*>("ZKDlg1");
    auto* cancel = dialog.findChild<QPushButton*>("ZKDlg2");
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_GE(ok->width(), dialog.HorzUnits(50));
    EXPECT_EQ(ok->height(), dialog.VertUnits(14));
    EXPECT_EQ(cancel->x() - ok->x() - ok->width(), dialog.HorzUnits(4));
    EXPECT_NEAR(ok->x(), dialog.width() - cancel->x() - cancel->width(), 1);  // centred row

    WhenShown([edit](QWidget& box) {
        QTest::keyClicks(edit, "s3cret");
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.Run(), platform::mrOk);
    EXPECT_EQ(dialog.Password(), "s3cret");
}

TEST(ZipDialogBox, AnErrorBoxShowsItsIconAndEscapeGivesTheCancelAnswer) {
    testkit::TestApplication();
    const platform::DialogRequest request =
        RequestFor(archive::kDlgError, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, "A long message. " + std::string(400, 'w'));
    QtZipDialog dialog(request, QString::fromStdString(request.text), nullptr);
    auto* image = dialog.findChild<QLabel*>("Image");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), QSize(32, 32));
    EXPECT_GT(dialog.findChild<QLabel*>("zkdText")->x(), image->x() + 32);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("zkdEdit"), nullptr);
    WhenShown([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(dialog.Run(), platform::mrNo);
}

}  // namespace
}  // namespace lunaro::app

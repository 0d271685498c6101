#include "app/window/zip_dialog_qt.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace lunaro::app {

namespace {

constexpr int kMargin = 8;        // horizontal and vertical, dialog units
constexpr int kSpacing = 10;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kIconSize = 32;     // pixels
constexpr int kPasswordChars = 80;

QStyle::StandardPixmap IconOf(platform::MessageIcon icon) {
    switch (icon) {
        case platform::MessageIcon::Warning: return QStyle::SP_MessageBoxWarning;
        case platform::MessageIcon::Error: return QStyle::SP_MessageBoxCritical;
        case platform::MessageIcon::Information: return QStyle::SP_MessageBoxInformation;
        case platform::MessageIcon::Question: return QStyle::SP_MessageBoxQuestion;
        case platform::MessageIcon::None: break;
    }
    return QStyle::SP_CustomBase;
}

QRect AvailableScreen(QWidget* widget) {
    QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

QSize AverageCharacterSize(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 :");
    static_assert(sizeof("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 :") == 65);
    const int width = (metrics.horizontalAdvance(sample) + 32) / 64;  // rounded
    return {std::max(width, 1), std::max(metrics.height(), 1)};
}

QtZipDialog::QtZipDialog(const platform::DialogRequest& request, const QString& displayText, QWidget* parent)
    : QDialog(parent), average_(AverageCharacterSize(QApplication::font("QMessageBox"))) {
    setFont(QApplication::font("QMessageBox"));
    cancelResult_ = request.cancelResult;
    answer_ = request.cancelResult;
    beep_ = request.beep;
    LayOut(request, displayText);
}

void QtZipDialog::LayOut(const platform::DialogRequest& request, const QString& displayText) {
    const QRect screen = AvailableScreen(this);
    const int marginX = HorzUnits(kMargin), marginY = VertUnits(kMargin);
    const int spacingX = HorzUnits(kSpacing), spacingY = VertUnits(kSpacing);

    // The icon at the top left, the text to its right.
    int textLeft = marginX;
    int iconHeight = 0;
    if (const QStyle::StandardPixmap which = IconOf(request.icon); which != QStyle::SP_CustomBase) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(style()->standardIcon(which).pixmap(kIconSize, kIconSize));
        image->setGeometry(marginX, marginY, kIconSize, kIconSize);
        textLeft += kIconSize + spacingX;
        iconHeight = kIconSize;
    }
    auto* text = new QLabel(displayText, this);
    text->setObjectName(QStringLiteral("zkdText"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    const QRect textRect = QFontMetrics(font()).boundingRect(QRect(0, 0, screen.width() / 2, 100000),
                                                             Qt::TextWordWrap, displayText);
    int textWidth = textRect.width();
    if (request.passwordField) textWidth = std::max(textWidth, kPasswordChars * average_.width());

    // Buttons: one width for all, at least the widest caption plus 8 pixels.
    QFontMetrics metrics(font());
    int buttonWidth = HorzUnits(kButtonWidth);
    for (const platform::DialogButton& button : request.buttons)
        buttonWidth = std::max(buttonWidth, metrics.horizontalAdvance(QString::fromStdString(button.caption)) + 8);
    const int buttonHeight = VertUnits(kButtonHeight);
    const int buttonGap = HorzUnits(kButtonGap);
    const int count = static_cast<int>(request.buttons.size());
    const int rowWidth = count * buttonWidth + std::max(count - 1, 0) * buttonGap;

    const int clientWidth = std::max(textLeft + textWidth + marginX, rowWidth + 2 * marginX);
    text->setGeometry(textLeft, marginY, clientWidth - textLeft - marginX, textRect.height());
    int y = marginY + std::max(iconHeight, textRect.height()) + spacingY;

    if (request.passwordField) {
        edit_ = new QLineEdit(this);
        edit_->setObjectName(QStringLiteral("zkdEdit"));
        edit_->setEchoMode(QLineEdit::Password);
        edit_->setMaxLength(kPasswordChars);
        edit_->setText(QString::fromStdString(request.password));
        const int editHeight = edit_->sizeHint().height();
        edit_->setGeometry(marginX, y, clientWidth - 2 * marginX, editHeight);
        y += editHeight + spacingY;
    }

    int x = (clientWidth - rowWidth) / 2;
    for (const platform::DialogButton& button : request.buttons) {
        auto* push = new QPushButton(QString::fromStdString(button.caption), this);
        push->setObjectName(QString::fromStdString(button.name));
        push->setGeometry(x, y, buttonWidth, buttonHeight);
        push->setDefault(button.modalResult == request.defaultResult);
        push->setAutoDefault(false);
        const int result = button.modalResult;
        connect(push, &QPushButton::clicked, this, [this, result] {
            answer_ = result;
            done(result);
        });
        x += buttonWidth + buttonGap;
    }
    y += buttonHeight + marginY;

    setWindowTitle(QString::fromStdString(request.title.empty() ? platform::ApplicationTitle() : request.title));
    setFixedSize(clientWidth, y);
    move(screen.center() - QPoint(clientWidth / 2, y / 2));
    if (edit_) edit_->setFocus();
}

int QtZipDialog::Run() {
    if (beep_) QApplication::beep();
    answer_ = cancelResult_;
    exec();  // Escape and the close box reject, leaving the cancel answer
    return answer_;
}

QString QtZipDialog::Password() const { return edit_ ? edit_->text() : QString(); }

}  // namespace lunaro::app

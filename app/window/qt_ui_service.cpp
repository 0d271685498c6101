#include "app/window/qt_ui_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <map>

#include "app/window/zip_dialog_qt.h"

namespace lunaro::app {

namespace {

using platform::MessageIcon;
using platform::ModalResult;

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString ButtonCaption(ModalResult result) {
    switch (result) {
        case platform::mrOk: return QStringLiteral("OK");
        case platform::mrCancel: return QStringLiteral("Cancelar");
        case platform::mrAbort: return QStringLiteral("&Anular");
        case platform::mrRetry: return QStringLiteral("&Repetir");
        case platform::mrIgnore: return QStringLiteral("&Ignorar");
        case platform::mrYes: return QStringLiteral("&Sim");
        case platform::mrNo: return QStringLiteral("&Não");
        case platform::mrAll: return QStringLiteral("&Todos");
        case platform::mrNoToAll: return QStringLiteral("Não para t&odos");
        case platform::mrYesToAll: return QStringLiteral("Sim para &todos");
        case platform::mrClose: return QStringLiteral("&Fechar");
        case platform::mrNone: break;
    }
    return QStringLiteral("OK");
}

QMessageBox::ButtonRole ButtonRole(ModalResult result) {
    switch (result) {
        case platform::mrCancel:
        case platform::mrAbort:
        case platform::mrClose: return QMessageBox::RejectRole;
        case platform::mrNo:
        case platform::mrNoToAll: return QMessageBox::NoRole;
        case platform::mrYes:
        case platform::mrYesToAll:
        case platform::mrAll: return QMessageBox::YesRole;
        default: return QMessageBox::AcceptRole;
    }
}

// The system's texts separate lines with a lone carriage return.
QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString Caption(const std::string& caption) {
    return QString::fromStdString(caption.empty() ? platform::ApplicationTitle() : caption);
}

// Escape answers with the first button that means "no" or "stop", else the
// default.
bool IsEscapeAnswer(int result) {
    return result == platform::mrCancel || result == platform::mrAbort || result == platform::mrNo ||
           result == platform::mrClose;
}

}  // namespace

int QtUiService::MessageBox(const platform::MessageBoxRequest& request) {
    QMessageBox box(BoxIcon(request.icon), Caption(request.caption), DisplayText(request.text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    std::map<QAbstractButton*, int> results;
    QAbstractButton* escape = nullptr;
    std::vector<ModalResult> buttons = request.buttons;
    if (buttons.empty()) buttons.push_back(platform::mrOk);
    for (ModalResult result : buttons) {
        QPushButton* button = box.addButton(ButtonCaption(result), ButtonRole(result));
        results[button] = result;
        if (result == request.defaultButton) box.setDefaultButton(button);
        if (!escape && IsEscapeAnswer(result)) escape = button;
    }
    if (escape) box.setEscapeButton(escape);
    box.exec();
    const auto found = results.find(box.clickedButton());
    if (found != results.end()) return found->second;
    return escape ? results[escape] : request.defaultButton;
}

int QtUiService::ShowDialog(platform::DialogRequest& request) {
    QtZipDialog dialog(request, DisplayText(request.text), QApplication::activeWindow());
    const int answer = dialog.Run();
    request.password = request.passwordField ? dialog.Password().toStdString() : std::string();
    return answer;
}

void QtUiService::ProcessMessages() { QApplication::processEvents(); }

void QtUiService::SetWaitCursor(bool on) {
    if (on == waitCursor_) return;
    waitCursor_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace lunaro::app

#pragma once
// The archive component's message and password box on Qt widgets. It is laid
// out in dialog units, as the component describes it: horizontal units are
// quarters, vertical units eighths of the message font's average character,
// with fixed margins, spacing and button sizes, the text word-wrapped within
// half the screen width beside a 32 x 32 icon, one centred row of buttons
// and, for the password type, a masked field at least 80 characters wide.
#include <QDialog>
#include <QString>

#include "platform/ui_service.h"

class QLineEdit;

namespace lunaro::app {

// The font's average character size in pixels, from the 64 characters
// the layout measures (letters, blanks, digits and a colon).
QSize AverageCharacterSize(const QFont& font);

class QtZipDialog : public QDialog {
public:
    QtZipDialog(const platform::DialogRequest& request, const QString& displayText, QWidget* parent);

    // Shows the box modally; the button's modal result, or the cancel
    // button's for Escape and the close box.
    int Run();
    QString Password() const;

    // Pixels of n horizontal and vertical dialog units.
    int HorzUnits(int n) const { return n * average_.width() / 4; }
    int VertUnits(int n) const { return n * average_.height() / 8; }

private:
    void LayOut(const platform::DialogRequest& request, const QString& displayText);

    QSize average_;
    QLineEdit* edit_ = nullptr;
    int answer_ = platform::mrNone;
    int cancelResult_ = platform::mrNone;
    bool beep_ = false;
};

}  // namespace lunaro::app

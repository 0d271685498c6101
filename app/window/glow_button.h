#pragma once
// The "Instalar" push button: white bold caption on a blue gradient that
// brightens under the mouse and greys out when disabled.
#include <QPushButton>

namespace lunaro::app {

class TGlowButton : public QPushButton {
public:
    TGlowButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace lunaro::app

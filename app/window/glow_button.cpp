#include "app/window/glow_button.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "app/window/fonts.h"

namespace lunaro::app {

TGlowButton::TGlowButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFont(ButtonFont());
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

void TGlowButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(frame, 6, 6);

    QColor top(0x4a, 0x90, 0xe8), bottom(0x0d, 0x47, 0xa1);
    if (!isEnabled()) {
        top = QColor(0xb8, 0xc4, 0xd4);
        bottom = QColor(0x8a, 0x96, 0xa6);
    } else if (isDown()) {
        std::swap(top, bottom);
    } else if (underMouse() || hasFocus()) {
        top = top.lighter(118);
        bottom = bottom.lighter(125);
    }
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.fillPath(shape, fill);
    painter.setPen(QPen(bottom.darker(130), 1));
    painter.drawPath(shape);

    painter.setFont(font());
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

}  // namespace lunaro::app

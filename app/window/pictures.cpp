#include "app/window/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "app/window/fonts.h"

namespace lunaro::app {

namespace {

const QColor kDeepBlue(0x0b, 0x2f, 0x6b);
const QColor kBrightBlue(0x1f, 0x6f, 0xd1);
const QColor kMoonLight(0xf4, 0xf1, 0xe0);

// A crescent: a full disc with a second, shifted disc cut out of it.
QPainterPath Crescent(const QPointF& centre, qreal radius) {
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    QPainterPath bite;
    bite.addEllipse(centre + QPointF(radius * 0.45, -radius * 0.2), radius * 0.85, radius * 0.85);
    return disc.subtracted(bite);
}

}  // namespace

QPixmap DrawBanner() {
    QPixmap banner(600, 134);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 600, 134);
    sky.setColorAt(0, kDeepBlue);
    sky.setColorAt(1, kBrightBlue);
    painter.fillRect(banner.rect(), sky);
    painter.fillPath(Crescent(QPointF(70, 67), 44), kMoonLight);

    QFont title = TahomaFont(40);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(140, 22, 450, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("LunaroSoft"));
    painter.setFont(TahomaFont(17));
    painter.setPen(kMoonLight);
    painter.drawText(QRect(142, 80, 450, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Instalação do sistema de gestão e do PDV"));
    return banner;
}

QPixmap DrawLogo() {
    QPixmap logo(225, 225);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(112, 112), 110);
    glow.setColorAt(0, kBrightBlue);
    glow.setColorAt(1, kDeepBlue);
    painter.setBrush(glow);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(112, 112), 108, 108);
    painter.fillPath(Crescent(QPointF(100, 112), 70), kMoonLight);
    return logo;
}

}  // namespace lunaro::app

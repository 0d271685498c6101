#include "app/window/fonts.h"

#include <QStringList>

namespace lunaro::app {

namespace {

// The condensed face comes first among the stand-ins because the designed
// faces are narrow: the texts must fit the widths the layout gives them.
QFont WithFallback(const QString& designed, int pixelSize) {
    QFont font;
    font.setFamilies(QStringList{designed, QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans"),
                                 QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace

QFont TahomaFont(int pixelSize) { return WithFallback(QStringLiteral("Tahoma"), pixelSize); }

QFont ButtonFont() {
    QFont font = WithFallback(QStringLiteral("MS Sans Serif"), 13);
    font.setBold(true);
    return font;
}

}  // namespace lunaro::app

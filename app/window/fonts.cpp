#include "app/window/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace lunaro::app {

namespace {

// Debian's metric-compatible faces (package fonts-wine) live outside the
// folders fontconfig searches, so the window registers them itself.
constexpr const char* kDesignedFaceFolder = "/usr/share/wine/fonts/";
constexpr const char* kDesignedFaceFiles[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};

void RegisterDesignedFaces() {
    // Once per process; a missing file is simply not registered and the
    // stand-ins below take its place.
    static const bool registered = [] {
        for (const char* file : kDesignedFaceFiles)
            QFontDatabase::addApplicationFont(QString::fromLatin1(kDesignedFaceFolder) + QString::fromLatin1(file));
        return true;
    }();
    (void)registered;
}

// The condensed face comes first among the stand-ins because the designed
// faces are narrow: the texts must fit the widths the layout gives them.
QFont WithFallback(const QString& designed, int pixelSize) {
    RegisterDesignedFaces();
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

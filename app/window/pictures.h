#pragma once
// The window's two decorative pictures, drawn rather than shipped.
#include <QPixmap>

namespace lunaro::app {

QPixmap DrawBanner();  // 600 x 134
QPixmap DrawLogo();    // 225 x 225

}  // namespace lunaro::app

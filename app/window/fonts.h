#pragma once
// The window's fonts. The designed faces are tried first; where they are not
// installed a close sans-serif stands in.
#include <QFont>

namespace lunaro::app {

// Tahoma at a pixel height (11 for the window, 17 for the mode choices).
QFont TahomaFont(int pixelSize);

// The bold face of the "Instalar" button.
QFont ButtonFont();

}  // namespace lunaro::app

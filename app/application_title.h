#pragma once

namespace lunaro::app {

// The application's own title, as boxes and the task bar show it; the
// window's caption is a different text.
inline constexpr const char* kApplicationTitle = "LunaroSoft - Instalador";

}  // namespace lunaro::app

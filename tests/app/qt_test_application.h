#pragma once
// One QApplication for a whole test program, on the offscreen platform so
// the tests need no display.
#include <QApplication>

#include <cstdlib>

namespace lunaro::testkit {

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "app_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *application;
}

}  // namespace lunaro::testkit

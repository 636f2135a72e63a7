#pragma once

#include <QApplication>

// Widgets need an application object; the tests run without a display.
inline void ensureApplication()
{
    if (QApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "motif-tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit the platform plugin may already be gone, and tearing the
    // application down then crashes the test program after its tests passed.
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

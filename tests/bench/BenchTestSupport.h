#pragma once
// The application object of the bench tests: the widget tests' QApplication
// when the window program is built (the tests of one process share it), else
// a QCoreApplication.
#include <QCoreApplication>

#ifdef QVS_HAVE_GUI
#include "gui/GuiTestSupport.h"
#endif

inline QCoreApplication& BenchApp()
{
#ifdef QVS_HAVE_GUI
    return TestApp();
#else
    static int argc = 1;
    static char name[] = "bench_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    return *QCoreApplication::instance();
#endif
}

// lumaret_test_app.cpp - the shared Qt application of the display library's tests.
#include "lumaret_test_app.h"

#include <QApplication>

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "lumaret_tests";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never deleted: other static objects may still use Qt while the process ends.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

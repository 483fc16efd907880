// A QApplication for the widget tests, created once on the offscreen platform.
#include "qt_app.h"

#include <QApplication>

void EnsureQtApp()
{
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "sim_brake_yard_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

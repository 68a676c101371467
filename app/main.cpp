// main.cpp - Tamboril, the program: the main window, start-up and the run loop.
#include <QApplication>

#include "app/frame_extras.h"
#include "app/main_frame.h"
#include "app/run_loop.h"
#include "app/shutdown_signals.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tamboril"));
    App::CMainFrame frame;
    App::CFrameExtras extras(frame);
    App::ShutdownSignals shutdownSignals(frame);
    App::StartUp(frame, QCoreApplication::arguments());
    App::CRunLoop loop(frame);
    const int code = loop.Run();
    // The view still exists: the engine writes the battery file and the settings.
    frame.Destroy();
    return code;
}

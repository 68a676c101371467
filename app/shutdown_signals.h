// shutdown_signals.h - SIGTERM and SIGINT (a session ending, Ctrl+C in a
// terminal) end the program the way Exit does, without the question: the run
// loop stops and the frame shuts the engine down, writing the battery file and
// the settings.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace App {

class CMainFrame;

class ShutdownSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; the previous ones come back on destruction.
    explicit ShutdownSignals(CMainFrame& frame);
    ~ShutdownSignals() override;

private:
    void OnSignal();

    CMainFrame& frame_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace App

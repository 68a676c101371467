// shutdown_signals.cpp - the signal handler writes one byte into a pipe; the
// event loop sees the pipe readable and asks the frame to quit. Nothing else
// happens inside the handler.
#include "app/shutdown_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

#include "app/main_frame.h"

namespace App {

namespace {

int signalPipe[2] = {-1, -1};
struct sigaction previousTerm;
struct sigaction previousInt;

void OnShutdownSignal(int) {
    const char byte = 1;
    // Nothing can be done about a full pipe: one byte waiting is enough.
    [[maybe_unused]] ssize_t written = write(signalPipe[1], &byte, 1);
}

}  // namespace

ShutdownSignals::ShutdownSignals(CMainFrame& frame) : frame_(frame) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::OnSignal);
    struct sigaction action = {};
    action.sa_handler = OnShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &previousTerm);
    sigaction(SIGINT, &action, &previousInt);
}

ShutdownSignals::~ShutdownSignals() {
    if (!notifier_) return;
    sigaction(SIGTERM, &previousTerm, nullptr);
    sigaction(SIGINT, &previousInt, nullptr);
    delete notifier_;
    close(signalPipe[0]);
    close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void ShutdownSignals::OnSignal() {
    char bytes[16];
    while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    frame_.RequestQuit(0);
    // A dialog or pop-up menu runs its own loop; closing it lets the run loop
    // see the request.
    if (QWidget* popUp = QApplication::activePopupWidget()) popUp->close();
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        dialog->reject();
    else if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
}

}  // namespace App

// wince.cpp - object creation and machine queries.
#include "wince.h"

#include <QPointer>
#include <QSysInfo>
#include <QWidget>

namespace Lumaret::WinCE {

namespace {

// The program's top-level window, for ShowTaskbar.
QPointer<QWidget>& MainWindow() {
    static QPointer<QWidget> window;
    return window;
}

}  // namespace

Lumaret::Window* CreateWindow(QWidget* view) {
    if (view) MainWindow() = view->window();
    return new GDI::Window(view);
}

Lumaret::Display* CreateDisplay() { return new Display; }

Lumaret::Input* CreateInput() { return new Input; }

Lumaret::Surface* CreateSurface(int width, int height, int bitsPerPixel) {
    if (bitsPerPixel != 16) return nullptr;
    return GDI::Surface::Create(width, height);
}

void System::ShowTaskbar(bool show) {
    QWidget* window = MainWindow();
    if (!window) return;
    const Qt::WindowStates state = window->windowState();
    window->setWindowState(show ? state & ~Qt::WindowFullScreen : state | Qt::WindowFullScreen);
}

std::wstring System::GetMachineName() { return QSysInfo::machineHostName().toStdWString(); }

bool System::IsDirectDraw() { return false; }

}  // namespace Lumaret::WinCE

// wince.h - creation of the display library's objects and the few questions
// about the machine the program asks.
#pragma once

#include <string>

#include "display.h"
#include "input.h"
#include "surface.h"
#include "types.h"
#include "window.h"

class QWidget;

namespace Lumaret::WinCE {

// The window drawing into `view` (the widget showing the emulated screen). The
// top-level window holding it becomes the one System::ShowTaskbar acts on.
LUMARET_API Lumaret::Window* CreateWindow(QWidget* view);
LUMARET_API Lumaret::Display* CreateDisplay();
LUMARET_API Lumaret::Input* CreateInput();
// A blank surface; only 16 bits per pixel exist. Null on failure (another depth,
// a side outside 1..GDI::Surface::kMaxSide, no memory).
LUMARET_API Lumaret::Surface* CreateSurface(int width, int height, int bitsPerPixel);

class LUMARET_API System {
public:
    // The desktop has no task bar: hiding it puts the program's window in full-screen
    // state, showing it takes the window out of that state.
    static void ShowTaskbar(bool show);
    // The host name.
    static std::wstring GetMachineName();
    // False: the window draws through Qt's painter, not into the frame buffer.
    static bool IsDirectDraw();
};

}  // namespace Lumaret::WinCE

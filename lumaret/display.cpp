// display.cpp - the display's open, paused and closed states.
#include "display.h"

namespace Lumaret {

Display::~Display() = default;

int Display::GetBitDepth() { return 16; }

void Display::Open() {
    open_ = true;
    paused_ = false;
}

void Display::Close() {
    open_ = false;
    paused_ = false;
}

bool Display::IsActive(int) { return open_ && !paused_; }

void Display::Pause(int) {
    if (open_) paused_ = true;
}

void Display::Resume() { paused_ = false; }

}  // namespace Lumaret

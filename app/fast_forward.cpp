// fast_forward.cpp - the held and toggled states and the engine's switch.
#include "app/fast_forward.h"

#include "engine/host_hooks.h"

namespace App {

CFastForward::~CFastForward() {
    if (IsOn()) Emu::SetFastForward(false);
}

void CFastForward::Hold() {
    held_ = true;
    Apply();
}

void CFastForward::Release() {
    held_ = false;
    Apply();
}

void CFastForward::Toggle() {
    toggled_ = !toggled_;
    Apply();
}

void CFastForward::Apply() { Emu::SetFastForward(IsOn()); }

}  // namespace App

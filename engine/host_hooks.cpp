// host_hooks.cpp - the pad source and the fast-forward switch the program sets.
#include "engine/host_hooks.h"

namespace Emu {

namespace {
PadSource ourPadSource;
bool ourFastForward = false;
}  // namespace

void SetPadSource(PadSource source) { ourPadSource = std::move(source); }

uint32_t ReadPadSource() { return ourPadSource ? ourPadSource() : 0; }

void SetFastForward(bool on) { ourFastForward = on; }

bool IsFastForward() { return ourFastForward; }

}  // namespace Emu

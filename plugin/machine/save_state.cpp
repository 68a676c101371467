// save_state.cpp - stand-in: states are not supported yet.
#include "save_state.h"

bool SaveMachineState(const char*) { return false; }
bool LoadMachineState(const char*) { return false; }

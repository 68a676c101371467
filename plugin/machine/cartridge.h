// cartridge.h - bringing the machine up for one cartridge image and down again.
#pragma once

#include <cstdint>

// True when the whole 16 KB "GBA.ROM" image was loaded at start.
extern bool BiosLoaded;

bool LoadCartridge(const char* path);
void ResetMachine();
void ShutdownMachine();

// save_state.h - snapshots of the whole machine in a gzip-compressed file.
#pragma once

#include <string>

// Why the last LoadMachineState failed, in a few words for the host's
// messages ("another cartridge's state", "damaged gzip data", ...); empty
// after a success.
extern std::string StateLoadFailure;

bool SaveMachineState(const char* path);
// True when the whole file was one sound state and it was applied. A refused
// state leaves the machine untouched, or resets it (keeping the backup
// memory) when the stream ends or is impossible inside the CPU and Flash
// records or the machine block.
bool LoadMachineState(const char* path);

// save_state.h - snapshots of the whole machine in a gzip-compressed file.
#pragma once

bool SaveMachineState(const char* path);
bool LoadMachineState(const char* path);

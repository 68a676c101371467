// battery_file.h - the ".sav" file beside the image that keeps the backup
// memory between runs: the 64 KB SRAM image, then the 512 EEPROM data bytes,
// each present only when it holds data (512, 65536 or 66048 bytes).
#pragma once

#include <string>

// Why the last WriteSaveFile failed, in a few words ("" when it did not).
extern std::string SaveFileFailure;

// Reads the battery file at SavePath into SRAM and the EEPROM data: 65536
// bytes into SRAM; when fewer arrive, the file's first 512 bytes go to the
// EEPROM data, otherwise the 512 bytes after the SRAM image do.
void ReadBatteryFile();

// Writes the battery file at SavePath: the SRAM image if any byte is not 0,
// then the EEPROM data if any byte is not 0; nothing when both are all zero.
// The file is written beside its final name and renamed into place, so a
// failed write keeps the old file; a file of another size (not written by
// this program) is first kept as "<name>.bak", or "<name>.bak.N" when that
// exists. False, with the reason on the console and in SaveFileFailure,
// when a write was due and failed.
bool WriteSaveFile();

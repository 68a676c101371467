// battery_file.h - the ".sav" file beside the image that keeps the backup
// memory between runs: the 64 KB SRAM image, then the 512 EEPROM data bytes,
// each present only when it holds data (512, 65536 or 66048 bytes). A
// cartridge with the larger chips has the 128 KB Flash image (bank 0, then
// bank 1) in place of the SRAM image, or 8 KB of EEPROM data in place of 512.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Why the last WriteSaveFile failed, in a few words ("" when it did not).
extern std::string SaveFileFailure;

// Reads the battery file at SavePath into SRAM and the EEPROM data: 65536
// bytes into SRAM; when fewer arrive, the file's first 512 bytes go to the
// EEPROM data, otherwise the 512 bytes after the SRAM image do. With a larger
// chip, a file of exactly the sizes that chip writes is read by its layout
// (an 8 KB EEPROM part makes an announced EEPROM the 8 KB chip).
void ReadBatteryFile();

// What the battery file holds for the machine as it is: the SRAM (or Flash)
// image if any byte is not 0, then the EEPROM data if any byte is not 0;
// empty when both are all zero. Identification mode does not show in it.
void BuildBatteryImage(std::vector<uint8_t>& out);

// Writes the battery file at SavePath with BuildBatteryImage's content;
// nothing when that is empty. `flush` waits until the data is on the disk.
// The file is written beside its final name and renamed into place, so a
// failed write keeps the old file; a file of another size (not written by
// this program) is first kept as "<name>.bak", or "<name>.bak.N" when that
// exists. False, with the reason on the console and in SaveFileFailure,
// when a write was due and failed.
bool WriteSaveFile(bool flush = true);

// cartridge.h - bringing the machine up for one cartridge image and down again.
//
// LoadCartridge allocates and maps every region, loads "GBA.ROM" (or the
// built-in stub), the image (plain or gzip-compressed), logs and checks the
// header, reads the battery file and resets the machine. ShutdownMachine
// writes the battery file and releases everything.
#pragma once

#include <cstdint>
#include <string>

// True when the whole 16 KB "GBA.ROM" image was loaded at start.
extern bool BiosLoaded;
// The image path with its extension replaced by ".sav" and ".STA" (the name the
// plug-in saves states under, on a file system that tells case apart); empty when
// no cartridge has got that far.
// An image whose own name that would be ("x.sav") gets the extension appended.
extern std::string SavePath;
extern std::string StatePath;
// Why the last LoadCartridge failed, in a few words for the host's messages
// ("not found", "header checksum wrong", ...); empty after a success. The
// console shows the lines of the load steps only.
extern std::string LoadFailure;

bool LoadCartridge(const char* path);
void ResetMachine();
// Writes the battery file and releases everything; false when the battery
// file was due and could not be written (the reason is in SaveFileFailure).
bool ShutdownMachine();

// Header complement over image bytes 0xA0..0xBC: 0xE7 minus their sum, modulo 256.
uint8_t HeaderComplement(const uint8_t* image);
// The path with the extension of its file name replaced by `extension` (or
// `extension` appended when the file name has none).
std::string ReplaceExtension(const std::string& path, const char* extension);
// The path of the battery or state file beside an image: the extension
// replaced, or appended where replacing it would name the image itself.
std::string DerivedPath(const std::string& image, const char* extension);
// Publisher of a two-character maker code, or "Unknown".
const char* MakerName(char first, char second);

// test_support.h - paths to test cartridges and helpers to boot and inspect the machine.
#pragma once

#include "test_files.h"

// Boots a cartridge through the headless host (fails the test when it cannot).
void BootProgram(const std::string& path);
// Boots a raw ARM program (little-endian words) placed at 0x08000000 in a
// minimal cartridge image; the image is written into `dir`.
void BootWords(const TempDir& dir, const std::vector<uint32_t>& words);

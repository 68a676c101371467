// save_library.h - the backup chips a cartridge has, as the identification
// string of its save library in the image announces them.
#pragma once

#include <cstddef>
#include <cstdint>

struct SaveLibrary {
    bool largeFlash;  // "FLASH1M_V": the 128 KB Flash of two banks
    bool eeprom;      // "EEPROM_V": a serial EEPROM, 512 bytes or 8 KB
};

// Looks for the strings anywhere in the image.
SaveLibrary FindSaveLibrary(const uint8_t* image, size_t size);

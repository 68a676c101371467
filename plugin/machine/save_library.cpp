// save_library.cpp - finding the save library's identification string in an image.
//
// Games link one of a few save libraries, each of which carries a string naming
// itself and its version ("SRAM_V113", "FLASH1M_V103", "EEPROM_V124") so that
// the cartridge's chip can be told from the image. Only the two that need a
// chip other than the 64 KB SRAM/Flash buffer and the 512-byte EEPROM matter.
#include "save_library.h"

#include <string_view>

SaveLibrary FindSaveLibrary(const uint8_t* image, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(image), size);
    return SaveLibrary{text.find("FLASH1M_V") != std::string_view::npos,
                       text.find("EEPROM_V") != std::string_view::npos};
}

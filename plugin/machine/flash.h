// flash.h - the 64 KB backup memory: SRAM with a Flash command interpreter.
#pragma once

#include <cstdint>

constexpr int FlashChipBytes = 12;

// Byte store to 0x0E000000..0x0E00FFFF.
void FlashWrite(uint32_t offset, uint8_t value);
// Command state 0, identification mode off, data in the given SRAM buffer.
void InitFlash(uint16_t identification, uint8_t* sram);

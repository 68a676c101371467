// flash.h - the 64 KB backup memory: SRAM with a Flash command interpreter.
#pragma once

#include <cstdint>

constexpr int FlashChipBytes = 12;
// Identification answered in identification mode: manufacturer 0xBF (low
// byte), device 0xD4 (high byte).
constexpr uint16_t FlashIdentification = 0xD4BF;

struct FlashChip {
    uint8_t* data;            // the SRAM buffer
    uint8_t state;            // command state 0..6
    uint8_t identifying;      // identification mode, 0 or 1
    uint8_t trace;            // backup-chip trace switch
    uint16_t identification;  // FlashIdentification
    uint8_t saved[2];         // data bytes 0 and 1 while identification mode is on
};

extern FlashChip Flash;

// Byte store to 0x0E000000..0x0E00FFFF.
void FlashWrite(uint32_t offset, uint8_t value);
// Command state 0, identification mode off, data in the given SRAM buffer. A
// chip still identifying over that buffer first restores its bytes 0 and 1.
void InitFlash(uint16_t identification, uint8_t* sram);

// The 12-byte little-endian record of save states; the data pointer is not
// stored (its four bytes are written as 0).
void StoreFlashChip(const FlashChip& chip, uint8_t out[FlashChipBytes]);
// Decodes a stored record into `chip`, keeping chip.data. False, with `chip`
// untouched, when the command state or the mode byte is impossible.
bool LoadFlashChip(FlashChip& chip, const uint8_t in[FlashChipBytes]);

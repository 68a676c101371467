// flash.h - the backup memory at 0x0E000000: SRAM with a Flash command
// interpreter, 64 KB, or a 128 KB Flash of two 64 KB banks.
#pragma once

#include <cstdint>

constexpr int FlashChipBytes = 12;
// Identification answered in identification mode: manufacturer 0xBF (low
// byte), device 0xD4 (high byte).
constexpr uint16_t FlashIdentification = 0xD4BF;
// Identification of the 128 KB chip, a 1 Mbit part: manufacturer 0xC2 (low
// byte), device 0x09 (high byte).
constexpr uint16_t LargeFlashIdentification = 0x09C2;
constexpr uint32_t FlashBankBytes = 64 * 1024;

struct FlashChip {
    uint8_t* data;            // the SRAM buffer: the bank the CPU sees
    uint8_t state;            // command state 0..6, 7 (bank number expected) on the 128 KB chip
    uint8_t identifying;      // identification mode, 0 or 1
    uint8_t trace;            // backup-chip trace switch
    uint16_t identification;  // FlashIdentification
    uint8_t saved[2];         // data bytes 0 and 1 while identification mode is on
    // The 128 KB chip only (null on the 64 KB one): the bank not mapped, and
    // the number of the mapped one. Not part of the 12-byte record.
    uint8_t* parked;
    uint8_t bank;
};

extern FlashChip Flash;

// Byte store to 0x0E000000..0x0E00FFFF.
void FlashWrite(uint32_t offset, uint8_t value);
// Command state 0, identification mode off, data in the given SRAM buffer. A
// chip still identifying over that buffer first restores its bytes 0 and 1.
// With a `parked` buffer the chip is the 128 KB one and bank 0 is mapped.
void InitFlash(uint16_t identification, uint8_t* sram, uint8_t* parked = nullptr);
// The 64 KB of bank `bank` (0 or 1; 0 on the 64 KB chip) as stored, without
// the identification that identification mode shows over bytes 0 and 1.
void CopyFlashBank(const FlashChip& chip, uint32_t bank, uint8_t* out);
// Maps bank `bank` (0 or 1) of the 128 KB chip.
void SelectFlashBank(FlashChip& chip, uint32_t bank);

// The 12-byte little-endian record of save states; the data pointer is not
// stored (its four bytes are written as 0).
void StoreFlashChip(const FlashChip& chip, uint8_t out[FlashChipBytes]);
// Decodes a stored record into `chip`, keeping chip.data, chip.parked and
// chip.bank. False, with `chip` untouched, when the command state or the mode
// byte is impossible (state 7 exists on the 128 KB chip only).
bool LoadFlashChip(FlashChip& chip, const uint8_t in[FlashChipBytes]);

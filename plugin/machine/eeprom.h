// eeprom.h - the 512-byte serial EEPROM reached bit by bit in regions 9, B, D and F.
#pragma once

#include <cstdint>

constexpr int EepromBytes = 544;
constexpr int EepromDataBytes = 512;

void EepromWriteBit(uint32_t value);
uint32_t EepromReadBit();
// Idle, output register all ones, reply area at the start of Dummy RAM.
void InitEeprom(uint8_t* replyArea);

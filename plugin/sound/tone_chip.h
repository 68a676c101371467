// tone_chip.h - register-level model of the four tone channels, reduced to voices.
#pragma once

#include <cstdint>

void InitToneChip(int firstVoice, bool consoleMode);
int WriteToneRegister(int index, uint32_t value);
// Sound register write from the I/O handler (offset from 0x60).
void WriteSoundIo(uint32_t offset, uint32_t value);
void TickToneChip(int32_t ms);
void PushToneChip(int32_t mode);
// The NR52 byte (master enable and channel status), mirrored into SOUNDCNT_X.
uint8_t ToneChipStatus();

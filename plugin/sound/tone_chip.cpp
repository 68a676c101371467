// tone_chip.cpp - stand-in tone chip: keeps only the master enable byte.
#include "tone_chip.h"

namespace {
uint8_t Nr52 = 0x80;
}

void InitToneChip(int, bool) { Nr52 = 0x80; }
int WriteToneRegister(int index, uint32_t) { return index <= 47; }
void WriteSoundIo(uint32_t, uint32_t) {}
void TickToneChip(int32_t) {}
void PushToneChip(int32_t) {}
uint8_t ToneChipStatus() { return Nr52; }

// flash.cpp - stand-in backup memory: every byte store is a plain SRAM write.
#include "flash.h"

#include "memory.h"

void FlashWrite(uint32_t offset, uint8_t value) { SaveRam()[offset & 0xFFFF] = value; }

void InitFlash(uint16_t, uint8_t*) {}

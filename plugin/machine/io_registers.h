// io_registers.h - offsets of the console's I/O registers inside the I/O page.
#pragma once

#include <cstdint>

namespace Reg {
constexpr uint32_t DISPCNT = 0x000;
constexpr uint32_t DISPSTAT = 0x004;
constexpr uint32_t VCOUNT = 0x006;
constexpr uint32_t BG0CNT = 0x008;
constexpr uint32_t BG0HOFS = 0x010;
constexpr uint32_t BG0VOFS = 0x012;
constexpr uint32_t BG2PA = 0x020;
constexpr uint32_t BG2X = 0x028;
constexpr uint32_t BG2Y = 0x02C;
constexpr uint32_t BG3PA = 0x030;
constexpr uint32_t BG3X = 0x038;
constexpr uint32_t BG3Y = 0x03C;
constexpr uint32_t WIN0H = 0x040;
constexpr uint32_t WIN1H = 0x042;
constexpr uint32_t WIN0V = 0x044;
constexpr uint32_t WIN1V = 0x046;
constexpr uint32_t WININ = 0x048;
constexpr uint32_t WINOUT = 0x04A;
constexpr uint32_t MOSAIC = 0x04C;
constexpr uint32_t BLDCNT = 0x050;
constexpr uint32_t BLDALPHA = 0x052;
constexpr uint32_t BLDY = 0x054;
constexpr uint32_t SOUND_FIRST = 0x060;
constexpr uint32_t SOUNDCNT_L = 0x080;
constexpr uint32_t SOUNDCNT_H = 0x082;
constexpr uint32_t SOUNDCNT_X = 0x084;
constexpr uint32_t SOUNDBIAS = 0x088;
constexpr uint32_t WAVE_RAM = 0x090;
constexpr uint32_t DMA0SAD = 0x0B0;  // channel n at + 12 * n
constexpr uint32_t DMA_STRIDE = 12;
constexpr uint32_t DMA_DAD = 4;      // from the channel's SAD
constexpr uint32_t DMA_CNT_L = 8;
constexpr uint32_t DMA_CNT_H = 10;
constexpr uint32_t TM0CNT_L = 0x100;  // timer i at + 4 * i
constexpr uint32_t TM0CNT_H = 0x102;
constexpr uint32_t SIOCNT = 0x128;
constexpr uint32_t KEYINPUT = 0x130;
constexpr uint32_t KEYCNT = 0x132;
constexpr uint32_t RCNT = 0x134;
constexpr uint32_t IE = 0x200;
constexpr uint32_t IF = 0x202;
constexpr uint32_t WAITCNT = 0x204;
constexpr uint32_t IME = 0x208;
constexpr uint32_t POSTFLG = 0x300;
}  // namespace Reg

// Interrupt request bits of IE and IF.
namespace Irq {
constexpr uint32_t VBlank = 1u << 0;
constexpr uint32_t HBlank = 1u << 1;
constexpr uint32_t VCount = 1u << 2;
constexpr uint32_t Timer0 = 1u << 3;
constexpr uint32_t Serial = 1u << 7;
constexpr uint32_t Dma0 = 1u << 8;
constexpr uint32_t Keypad = 1u << 12;
}  // namespace Irq

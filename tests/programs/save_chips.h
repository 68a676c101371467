/* save_chips.h - talks to the cartridge's backup chips the way the common save
 * libraries do: Flash commands as byte stores to 0x0E005555 and 0x0E002AAA,
 * the bank command of the 128 KB Flash, and EEPROM requests as buffers of
 * halfwords (one bit each) sent and fetched by DMA3.
 *
 * Each program using it writes its chips on a first run and checks them on
 * the run after (with the battery file of the first), then ends with
 * Finish: R11 = the phase (1 first run, 2 checked a later run), R12 = 0
 * when every check passed, else the number of the first failed check. */
#ifndef SAVE_CHIPS_H
#define SAVE_CHIPS_H

typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;
typedef unsigned long long u64;

#define SRAM ((volatile u8*)0x0E000000)
#define EEPROM ((volatile u16*)0x0D000000)
#define DMA3SAD (*(volatile u32*)0x040000D4)
#define DMA3DAD (*(volatile u32*)0x040000D8)
#define DMA3CNT_L (*(volatile u16*)0x040000DC)
#define DMA3CNT_H (*(volatile u16*)0x040000DE)

static inline void FlashCommand(u8 command) {
    SRAM[0x5555] = 0xAA;
    SRAM[0x2AAA] = 0x55;
    SRAM[0x5555] = command;
}

/* The two identification bytes (manufacturer low, device high). */
static inline u16 FlashIdentify(void) {
    FlashCommand(0x90);
    u16 id = (u16)(SRAM[0] | SRAM[1] << 8);
    FlashCommand(0xF0);
    return id;
}

static inline void FlashProgram(u32 offset, u8 value) {
    FlashCommand(0xA0);
    SRAM[offset] = value;
}

static inline void FlashEraseChip(void) {
    FlashCommand(0x80);
    FlashCommand(0x10);
}

static inline void FlashEraseSector(u32 offset) {
    FlashCommand(0x80);
    SRAM[0x5555] = 0xAA;
    SRAM[0x2AAA] = 0x55;
    SRAM[offset & 0xF000] = 0x30;
}

static inline void FlashBank(u32 bank) {
    FlashCommand(0xB0);
    SRAM[0] = (u8)bank;
}

static inline void Dma3Halfwords(const volatile void* source, volatile void* destination, u16 count) {
    DMA3SAD = (u32)source;
    DMA3DAD = (u32)destination;
    DMA3CNT_L = count;
    DMA3CNT_H = 0x8000;
}

/* Request bits, most significant first, into buffer[*at...]. */
static inline void PutBits(u16* buffer, u32* at, u64 value, u32 count) {
    while (count-- > 0) buffer[(*at)++] = (u16)((value >> count) & 1);
}

static u16 Request[81 + 1];
static u16 Reply[68];

/* Writes one 64-bit block; addressBits is 6 (512 bytes) or 14 (8 KB). */
static inline void EepromWrite(u32 block, u64 value, u32 addressBits) {
    u32 at = 0;
    PutBits(Request, &at, 2, 2);
    PutBits(Request, &at, block, addressBits);
    PutBits(Request, &at, value, 64);
    PutBits(Request, &at, 0, 1);
    Dma3Halfwords(Request, EEPROM, (u16)at);
    while ((*EEPROM & 1) == 0) {
    }
}

static inline u64 EepromRead(u32 block, u32 addressBits, int* leadingOnes) {
    u32 at = 0;
    PutBits(Request, &at, 3, 2);
    PutBits(Request, &at, block, addressBits);
    PutBits(Request, &at, 0, 1);
    Dma3Halfwords(Request, EEPROM, (u16)at);
    Dma3Halfwords(EEPROM, Reply, 68);
    u64 value = 0;
    *leadingOnes = 0;
    for (int i = 0; i < 4; ++i) *leadingOnes |= Reply[i] & 1;
    for (int i = 4; i < 68; ++i) value = value << 1 | (Reply[i] & 1);
    return value;
}

static inline void Finish(u32 phase, u32 result) {
    __asm__ volatile("mov r11, %0\n\tmov r12, %1\n1:\tb 1b" : : "r"(phase), "r"(result) : "r11", "r12");
    for (;;) {
    }
}

/* A pattern byte of a block or an offset, different for each seed. */
static inline u8 Pattern(u32 offset, u32 seed) { return (u8)((offset * 7 + seed * 29 + (offset >> 8)) ^ 0x5A); }
static inline u64 BlockPattern(u32 block, u32 seed) {
    return (u64)(block * 0x9E3779B1u + seed) << 32 | (block ^ 0xA5A5A5A5u) * (seed | 1);
}

#endif

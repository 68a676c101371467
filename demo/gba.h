/* gba.h - the demo's view of the console: register addresses, memory areas and BIOS calls. */
#ifndef DEMO_GBA_H
#define DEMO_GBA_H

typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;
typedef signed char s8;
typedef signed short s16;
typedef signed int s32;

#define REG16(offset) (*(volatile u16*)(0x04000000 + (offset)))
#define REG32(offset) (*(volatile u32*)(0x04000000 + (offset)))

#define REG_DISPCNT REG16(0x000)
#define REG_DISPSTAT REG16(0x004)
#define REG_VCOUNT REG16(0x006)
#define REG_BGCNT(n) REG16(0x008 + 2 * (n))
#define REG_BGHOFS(n) REG16(0x010 + 4 * (n))
#define REG_BGVOFS(n) REG16(0x012 + 4 * (n))
#define REG_BG2PA REG16(0x020)
#define REG_BG2X REG32(0x028)
#define REG_BG2Y REG32(0x02C)
#define REG_BLDCNT REG16(0x050)
#define REG_BLDALPHA REG16(0x052)
#define REG_SOUND1CNT_L REG16(0x060)
#define REG_SOUND1CNT_H REG16(0x062)
#define REG_SOUND1CNT_X REG16(0x064)
#define REG_SOUND2CNT_L REG16(0x068)
#define REG_SOUND2CNT_H REG16(0x06C)
#define REG_SOUNDCNT_L REG16(0x080)
#define REG_SOUNDCNT_H REG16(0x082)
#define REG_SOUNDCNT_X REG16(0x084)
#define REG_DMA1SAD REG32(0x0BC)
#define REG_DMA1DAD REG32(0x0C0)
#define REG_DMA1CNT_H REG16(0x0C6)
#define REG_DMA3SAD REG32(0x0D4)
#define REG_DMA3DAD REG32(0x0D8)
#define REG_DMA3CNT REG32(0x0DC)
#define REG_TM0CNT_L REG16(0x100)
#define REG_TM0CNT_H REG16(0x102)
#define REG_KEYINPUT REG16(0x130)
#define REG_IE REG16(0x200)
#define REG_IF REG16(0x202)
#define REG_IME REG16(0x208)

#define PALETTE ((volatile u16*)0x05000000)
#define SPRITE_PALETTE ((volatile u16*)0x05000200)
#define VRAM ((volatile u16*)0x06000000)
#define OAM ((volatile u16*)0x07000000)
#define SRAM ((volatile u8*)0x0E000000)
/* The interrupt handler address that the BIOS jumps through, and its check flags. */
#define IRQ_VECTOR (*(void (*volatile*)(void))0x03007FFC)
#define BIOS_IRQ_FLAGS (*(volatile u16*)0x03007FF8)

#define KEY_A 0x0001
#define KEY_B 0x0002
#define KEY_SELECT 0x0004
#define KEY_START 0x0008
#define KEY_RIGHT 0x0010
#define KEY_LEFT 0x0020
#define KEY_UP 0x0040
#define KEY_DOWN 0x0080
#define KEY_R 0x0100
#define KEY_L 0x0200

#define RGB(r, g, b) ((u16)((r) | (g) << 5 | (b) << 10))

/* Source of the background affine set-up call. */
struct BgAffineSource {
    s32 originX, originY;
    s16 centreX, centreY;
    s16 scaleX, scaleY;
    u16 angle;
    u16 pad;
};
struct BgAffineDest {
    s16 pa, pb, pc, pd;
    s32 x, y;
};

/* BIOS calls and the interrupt handler, in irq.s. */
void VBlankIntrWait(void);
void BgAffineSet(const struct BgAffineSource* source, struct BgAffineDest* dest, int count);
void InterruptHandler(void);

void* memcpy(void* dest, const void* src, unsigned n);
void* memset(void* dest, int value, unsigned n);

#endif

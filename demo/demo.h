/* demo.h - the parts of the demo cartridge and how main drives them. */
#ifndef DEMO_DEMO_H
#define DEMO_DEMO_H

#include "gba.h"

/* Screen layout: character blocks and map blocks of the three backgrounds. */
#define SCROLL_CHARS ((volatile u16*)0x06000000)   /* BG1, 4-bit tiles */
#define ROTATE_CHARS ((volatile u16*)0x06004000)   /* BG2, 8-bit tiles */
#define TEXT_CHARS ((volatile u16*)0x06008000)     /* BG0, 4-bit tiles */
#define SCROLL_MAP ((volatile u16*)0x0600E000)     /* block 28 */
#define ROTATE_MAP ((volatile u16*)0x0600E800)     /* block 29: 16 x 16 bytes */
#define TEXT_MAP ((volatile u16*)0x0600F800)       /* block 31 */
#define SPRITE_CHARS ((volatile u16*)0x06010000)

#define FONT_FIRST_TILE 1
#define PANEL_TILE 64
#define SPRITE_COUNT 32

extern volatile u32 VBlankCount;

/* Integer sine of a 256-step angle, amplitude 256. */
s32 Sine(u32 angle);
static inline s32 Cosine(u32 angle) { return Sine(angle + 64); }

void LoadFont(volatile u16* characterBlock, int firstTile);
void DrawText(volatile u16* map, int column, int row, const char* text, int firstTile, int palette);
void DrawNumber(volatile u16* map, int column, int row, u32 value, int digits, int firstTile, int palette);

void SetUpGraphics(void);
/* Places the animated sprites and the player for frame `frame` into the OAM copy. */
void AnimateSprites(u32 frame, int playerX, int playerY, int playerFlipped);
void CopySpritesToOam(void);
void RotateLayer(u32 angle, s32 zoom);

void SetUpSound(void);
/* Advances the tune by one frame. */
void PlayTune(void);
/* Starts the sampled drum through direct sound; stops it when it has played. */
void StartDrum(void);
void UpdateDrum(void);

/* Reads the boot counter from battery-backed SRAM, adds one and stores it. */
u32 CountBoot(void);

#endif

/* graphics.c - the demo's pictures, made at start-up: palettes, the scrolling
   tiles, the rotating layer, the text panel and the animated sprites. */
#include "demo.h"

/* Shadow of OAM, copied during vertical blank. */
static u16 SpriteAttributes[128 * 4] __attribute__((aligned(4)));

s32 Sine(u32 angle) {
    s32 t = (s32)(angle & 127);
    s32 value = 4 * t * (128 - t) / 64;  /* parabola through 0, 256 at t = 64, 0 */
    return (angle & 128) ? -value : value;
}

static void SetPalettes(void) {
    PALETTE[0] = RGB(2, 4, 10);
    /* Bank 0: text: white glyphs, dark shadow, the panel's deep blue. */
    PALETTE[1] = RGB(31, 31, 31);
    PALETTE[2] = RGB(2, 2, 6);
    PALETTE[3] = RGB(4, 6, 20);
    PALETTE[4] = RGB(31, 26, 6);
    /* Bank 1: the scrolling checkerboard. */
    PALETTE[16 + 1] = RGB(6, 10, 18);
    PALETTE[16 + 2] = RGB(9, 14, 24);
    PALETTE[16 + 3] = RGB(14, 20, 28);
    /* Colours 32..63: the rotating layer's 8-bit ramp. */
    for (int i = 0; i < 32; ++i) PALETTE[32 + i] = RGB(31 - i / 2, 8 + i / 2, i);
    /* Sprite banks 0..3: balls in four hues; bank 4: the player. */
    for (int bank = 0; bank < 4; ++bank)
        for (int i = 1; i < 16; ++i) {
            int light = 10 + i;
            SPRITE_PALETTE[bank * 16 + i] = bank == 0   ? RGB(light, light / 3, light / 4)
                                           : bank == 1 ? RGB(light / 4, light, light / 3)
                                           : bank == 2 ? RGB(light / 3, light / 2, light)
                                                       : RGB(light, light, light / 4);
        }
    SPRITE_PALETTE[4 * 16 + 1] = RGB(31, 31, 31);
    SPRITE_PALETTE[4 * 16 + 2] = RGB(31, 8, 8);
    SPRITE_PALETTE[5 * 16 + 1] = RGB(31, 31, 31);
    SPRITE_PALETTE[5 * 16 + 2] = RGB(8, 31, 8);
}

/* 4-bit tile from a function of the pixel position. */
static void MakeTile4(volatile u16* tile, int (*pixel)(int x, int y, int arg), int arg) {
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; x += 4)
            tile[y * 2 + x / 4] = (u16)(pixel(x, y, arg) | pixel(x + 1, y, arg) << 4 | pixel(x + 2, y, arg) << 8 |
                                        pixel(x + 3, y, arg) << 12);
}

static int CheckerPixel(int x, int y, int shade) {
    if (x == 0 || y == 0) return 3;
    return ((x + y) & 4) ? shade : 1;
}

static int SolidPixel(int x, int y, int colour) {
    (void)x;
    (void)y;
    return colour;
}

static void SetUpScrollLayer(void) {
    MakeTile4(SCROLL_CHARS + 16 * 0, CheckerPixel, 1);
    MakeTile4(SCROLL_CHARS + 16 * 1, CheckerPixel, 2);
    for (int row = 0; row < 32; ++row)
        for (int column = 0; column < 32; ++column)
            SCROLL_MAP[row * 32 + column] = (u16)(((row ^ column) & 1) | 1 << 12);
    REG_BGCNT(1) = 3 | 0 << 2 | 28 << 8; /* priority 3, characters block 0, map block 28 */
}

/* The rotating layer: a 128 x 128 ring emblem of 8-bit tiles with
   transparent holes, turning and pulsing in the middle of the screen; outside
   its map the layer is transparent. */
static void SetUpRotateLayer(void) {
    volatile u16* tiles = ROTATE_CHARS;
    for (int t = 0; t < 4; ++t)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; x += 2) {
                int colour0 = t == 0 ? 0 : 32 + ((x + y + t * 8) & 31);
                int colour1 = t == 0 ? 0 : 32 + ((x + 1 + y + t * 8) & 31);
                if (t == 3 && ((x ^ y) & 4)) colour0 = colour1 = 0;
                tiles[t * 32 + y * 4 + x / 2] = (u16)(colour0 | colour1 << 8);
            }
    for (int row = 0; row < 16; ++row)
        for (int column = 0; column < 16; column += 2) {
            int tile[2];
            for (int k = 0; k < 2; ++k) {
                int dx = column + k - 8, dy = row - 8, d = dx * dx + dy * dy;
                tile[k] = d < 9 ? 3 : d < 30 ? 0 : d < 49 ? 1 + ((row + column + k) & 1) : 0;
            }
            ROTATE_MAP[row * 8 + column / 2] = (u16)(tile[0] | tile[1] << 8);
        }
    /* Priority 2, characters block 1, 8-bit colour, map block 29, 128 x 128, no wrap-around. */
    REG_BGCNT(2) = 2 | 1 << 2 | 1 << 7 | 29 << 8;
}

static void SetUpTextLayer(void) {
    LoadFont(TEXT_CHARS, FONT_FIRST_TILE);
    MakeTile4(TEXT_CHARS + 16 * PANEL_TILE, SolidPixel, 3);
    for (int i = 0; i < 32 * 32; ++i) TEXT_MAP[i] = 0;
    for (int row = 0; row < 20; ++row)
        if (row < 3 || row >= 17)
            for (int column = 0; column < 30; ++column) TEXT_MAP[row * 32 + column] = PANEL_TILE;
    REG_BGCNT(0) = 0 | 2 << 2 | 31 << 8; /* priority 0, characters block 2, map block 31 */
}

/* Sprite tiles: four frames of a pulsing ball (16 x 16, 4 tiles each,
   one-dimensional mapping), then the player's arrow. */
static int BallPixel(int x, int y, int radius) {
    int dx = 2 * x - 15, dy = 2 * y - 15, d = dx * dx + dy * dy;
    if (d > radius * radius) return 0;
    int shade = 15 - d * 12 / (radius * radius + 1) - (dx + dy < -radius ? 0 : 2);
    return shade < 1 ? 1 : shade;
}

static int ArrowPixel(int x, int y, int unused) {
    (void)unused;
    if (y < 2 || y > 13) return 0;
    int half = y < 8 ? y - 2 : 13 - y;
    if (x >= 3 && x <= 3 + half * 2) return x == 3 + half * 2 ? 2 : 1;
    return 0;
}

static void MakeSprite16(volatile u16* tiles, int (*pixel)(int, int, int), int arg) {
    for (int quarter = 0; quarter < 4; ++quarter) {
        int ox = (quarter & 1) * 8, oy = (quarter >> 1) * 8;
        volatile u16* tile = tiles + quarter * 16;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; x += 4)
                tile[y * 2 + x / 4] =
                    (u16)(pixel(ox + x, oy + y, arg) | pixel(ox + x + 1, oy + y, arg) << 4 |
                          pixel(ox + x + 2, oy + y, arg) << 8 | pixel(ox + x + 3, oy + y, arg) << 12);
    }
}

static void SetUpSprites(void) {
    static const int Radius[4] = {9, 12, 15, 12};
    for (int frame = 0; frame < 4; ++frame) MakeSprite16(SPRITE_CHARS + frame * 64, BallPixel, Radius[frame]);
    MakeSprite16(SPRITE_CHARS + 4 * 64, ArrowPixel, 0);
    for (int i = 0; i < 128; ++i) {
        SpriteAttributes[i * 4] = 0x0200; /* hidden */
        SpriteAttributes[i * 4 + 1] = SpriteAttributes[i * 4 + 2] = 0;
    }
}

void SetUpGraphics(void) {
    REG_DISPCNT = 0x0080;
    SetPalettes();
    SetUpScrollLayer();
    SetUpRotateLayer();
    SetUpTextLayer();
    SetUpSprites();
    CopySpritesToOam();
    /* The text panel is blended over everything beneath it. */
    REG_BLDCNT = 0x0001 | 1 << 6 | 1 << 9 | 1 << 10 | 1 << 12;
    REG_BLDALPHA = 11 | 7 << 8;
    /* Mode 1, backgrounds 0-2 and sprites on, one-dimensional sprite tiles. */
    REG_DISPCNT = 1 | 1 << 6 | 1 << 8 | 1 << 9 | 1 << 10 | 1 << 12;
}

void AnimateSprites(u32 frame, int playerX, int playerY, int playerFlipped) {
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        u32 phase = frame * 2 + (u32)i * 8;
        int x = 112 + ((Sine(phase + (u32)i * 3) * 100) >> 8);
        int y = 72 + ((Sine(phase + (phase >> 1) + 64) * 56) >> 8);
        int animation = (int)((frame / 6 + (u32)i) & 3);
        u16* entry = &SpriteAttributes[(i + 1) * 4];
        entry[0] = (u16)((y & 0xFF));                       /* square, 4-bit */
        entry[1] = (u16)((x & 0x1FF) | 1 << 14);            /* 16 x 16 */
        entry[2] = (u16)(animation * 4 | 1 << 10 | (i & 3) << 12); /* priority 1 */
    }
    u16* player = &SpriteAttributes[0];
    player[0] = (u16)(playerY & 0xFF);
    player[1] = (u16)((playerX & 0x1FF) | 1 << 14 | (playerFlipped ? 1 << 12 : 0));
    player[2] = (u16)(16 | 1 << 10 | (playerFlipped ? 5 : 4) << 12);
}

void CopySpritesToOam(void) {
    REG_DMA3SAD = (u32)SpriteAttributes;
    REG_DMA3DAD = 0x07000000;
    REG_DMA3CNT = 256 | 0x84000000u; /* 256 words, immediate */
}

void RotateLayer(u32 angle, s32 zoom) {
    static struct BgAffineSource source;
    static struct BgAffineDest dest;
    source.originX = 64 << 8;
    source.originY = 64 << 8;
    source.centreX = 120;
    source.centreY = 80;
    source.scaleX = source.scaleY = (s16)zoom;
    source.angle = (u16)(angle << 8);
    BgAffineSet(&source, &dest, 1);
    volatile u32* affine = (volatile u32*)0x04000020;
    const u32* words = (const u32*)&dest;
    for (int i = 0; i < 4; ++i) affine[i] = words[i];
}

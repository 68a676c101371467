/* video_scenes.h - picture scenes for the renderer's reference images.
 *
 * Each scene sets up palette, VRAM, OAM and the video registers for one group
 * of display features, then turns the display on. The console programs
 * video_*.c run one scene each on the emulated machine; the host tests run the
 * same code with POKE16/POKE32 defined to store into the machine directly, so
 * both must produce the same reviewed picture. Only 16- and 32-bit stores are
 * used, as VRAM and palette RAM need. */
#ifndef VIDEO_SCENES_H
#define VIDEO_SCENES_H

#ifndef POKE16
#define POKE16(address, value) (*(volatile unsigned short*)(address) = (unsigned short)(value))
#define POKE32(address, value) (*(volatile unsigned int*)(address) = (unsigned int)(value))
#endif

#define IO(offset) (0x04000000u + (offset))
#define RGB(r, g, b) ((unsigned)(r) | (unsigned)(g) << 5 | (unsigned)(b) << 10)
#define BG_PALETTE(i) (0x05000000u + 2u * (i))
#define OBJ_PALETTE(i) (0x05000200u + 2u * (i))
#define VRAM_AT(offset) (0x06000000u + (offset))
#define OBJ_TILES 0x10000u

/* Register offsets. */
#define DISPCNT 0x00
#define BGCNT(n) (0x08 + 2 * (n))
#define BGHOFS(n) (0x10 + 4 * (n))
#define BGVOFS(n) (0x12 + 4 * (n))
#define BGPA(j) (0x20 + 0x10 * (j))
#define BGPB(j) (0x22 + 0x10 * (j))
#define BGPC(j) (0x24 + 0x10 * (j))
#define BGPD(j) (0x26 + 0x10 * (j))
#define BGX(j) (0x28 + 0x10 * (j))
#define BGY(j) (0x2C + 0x10 * (j))
#define WIN0H 0x40
#define WIN1H 0x42
#define WIN0V 0x44
#define WIN1V 0x46
#define WININ 0x48
#define WINOUT 0x4A
#define MOSAIC 0x4C
#define BLDCNT 0x50
#define BLDALPHA 0x52
#define BLDY 0x54

/* An asymmetric 8 x 8 picture, so flips and rotations show: pixel value 0..3. */
static inline unsigned ScenePattern(unsigned pattern, unsigned x, unsigned y) {
    switch (pattern) {
    case 0: /* flag: border top and left, block top right, diagonal */
        if (y == 0 || x == 0) return 1;
        if (x >= 5 && y <= 2) return 2;
        return x == y ? 3 : (y >= 6 ? 2 : 0);
    case 1: /* checker of 2 x 2 squares, half transparent */
        return ((x >> 1) + (y >> 1)) & 1 ? 3 : 0;
    case 2: /* ring */
        return (x == 1 || x == 6 || y == 1 || y == 6) && x >= 1 && x <= 6 && y >= 1 && y <= 6 ? 2 : 0;
    default: /* solid with a dot */
        return x == 2 && y == 5 ? 1 : 3;
    }
}

static inline unsigned SceneValue(unsigned pattern, unsigned x, unsigned y, unsigned offset) {
    unsigned v = ScenePattern(pattern, x, y);
    return v ? v + offset : 0;
}

/* 16-colour tile at a VRAM offset: values 1..3 become offset + 1..3. */
static inline void SceneTile4(unsigned at, unsigned pattern, unsigned offset) {
    for (unsigned y = 0; y < 8; ++y)
        for (unsigned h = 0; h < 2; ++h) {
            unsigned half = 0;
            for (unsigned k = 0; k < 4; ++k) half |= SceneValue(pattern, 4 * h + k, y, offset) << (4 * k);
            POKE16(VRAM_AT(at + 4 * y + 2 * h), half);
        }
}

/* 256-colour tile at a VRAM offset. */
static inline void SceneTile8(unsigned at, unsigned pattern, unsigned offset) {
    for (unsigned y = 0; y < 8; ++y)
        for (unsigned x = 0; x < 8; x += 2)
            POKE16(VRAM_AT(at + 8 * y + x),
                   SceneValue(pattern, x, y, offset) | SceneValue(pattern, x + 1, y, offset) << 8);
}

/* Colours 1..3 of 16-colour bank `bank` (background or sprite palette): a hue in three shades. */
static inline void SceneBank(unsigned base, unsigned bank, unsigned r, unsigned g, unsigned b) {
    for (unsigned k = 1; k <= 3; ++k) POKE16(base + 2 * (16 * bank + k), RGB(r * k / 3, g * k / 3, b * k / 3));
}

static inline void SceneSprite(unsigned n, unsigned a0, unsigned a1, unsigned a2) {
    POKE16(0x07000000u + 8 * n, a0);
    POKE16(0x07000000u + 8 * n + 2, a1);
    POKE16(0x07000000u + 8 * n + 4, a2);
}

static inline void SceneSpriteAffine(unsigned g, int pa, int pb, int pc, int pd) {
    POKE16(0x07000000u + 32 * g + 6, (unsigned)pa);
    POKE16(0x07000000u + 32 * g + 14, (unsigned)pb);
    POKE16(0x07000000u + 32 * g + 22, (unsigned)pc);
    POKE16(0x07000000u + 32 * g + 30, (unsigned)pd);
}

/* Display off, every sprite hidden, every effect and window off, identity transforms. */
static inline void SceneStart(unsigned backdrop) {
    POKE16(IO(DISPCNT), 0x80);
    for (unsigned n = 0; n < 128; ++n) SceneSprite(n, 0x200, 0, 0);
    for (unsigned r = 0x08; r < 0x56; r += 2) POKE16(IO(r), 0);
    for (unsigned j = 0; j < 2; ++j) {
        POKE16(IO(BGPA(j)), 0x100);
        POKE16(IO(BGPD(j)), 0x100);
    }
    POKE16(BG_PALETTE(0), backdrop);
    SceneBank(BG_PALETTE(0), 0, 31, 8, 8);
    SceneBank(BG_PALETTE(0), 1, 8, 31, 8);
    SceneBank(BG_PALETTE(0), 2, 8, 8, 31);
    SceneBank(BG_PALETTE(0), 3, 31, 31, 8);
    SceneBank(BG_PALETTE(0), 4, 31, 8, 31);
    SceneBank(BG_PALETTE(0), 5, 8, 31, 31);
    SceneBank(BG_PALETTE(0), 6, 31, 20, 4);
    SceneBank(BG_PALETTE(0), 7, 20, 20, 20);
    for (unsigned i = 1; i < 256; ++i) POKE16(OBJ_PALETTE(i), RGB(6 + (i * 5) % 26, 6 + (i * 11) % 26, 6 + (i * 17) % 26));
    SceneBank(OBJ_PALETTE(0), 0, 31, 31, 31);
    SceneBank(OBJ_PALETTE(0), 1, 31, 16, 0);
    SceneBank(OBJ_PALETTE(0), 2, 0, 16, 31);
    SceneBank(OBJ_PALETTE(0), 3, 16, 31, 0);
    for (unsigned i = 32; i < 48; ++i) POKE16(BG_PALETTE(i), RGB(i - 16, 31 - (i - 32), (i * 3) & 31));
}

/* Sprite tiles: every 16-colour tile a flag in one of the four sprite banks'
 * first colours shifted by the tile number, so each tile of a large sprite
 * differs; `from256` onwards 256-colour flags (two tile numbers each). */
static inline void SceneSpriteTiles(unsigned from256) {
    for (unsigned t = 0; t < from256; ++t) SceneTile4(OBJ_TILES + 32 * t, t % 3 == 2 ? 3 : 0, 3 * (t % 5));
    for (unsigned t = from256; t + 1 < 1024; t += 2) SceneTile8(OBJ_TILES + 32 * t, (t >> 1) % 2 ? 3 : 0, 32 + 3 * ((t >> 1) % 4));
}

/* Four text backgrounds of the four map sizes, scrolled across the joins of
 * their screen blocks, in both colour depths and with flipped tiles. */
static inline void SceneText(void) {
    SceneStart(RGB(2, 2, 8));
    for (unsigned p = 0; p < 4; ++p) SceneTile4(32 * (1 + p), p, 0);
    for (unsigned p = 0; p < 4; ++p) SceneTile8(0x4000 + 64 * (1 + p), p, 32 + 3 * p);
    /* BG0: 256 x 256, 16 colours, screen block 24; tiles flipped in turn. */
    for (unsigned i = 0; i < 1024; ++i) {
        unsigned r = i / 32, c = i % 32;
        POKE16(VRAM_AT(24 * 2048 + 2 * i), (r + c) % 4 == 0 ? 1 | ((c / 4) % 4) << 10 | (r % 4) << 12 : 0);
    }
    /* BG1: 512 x 256, 256 colours, blocks 26..27. */
    for (unsigned blk = 0; blk < 2; ++blk)
        for (unsigned i = 0; i < 1024; ++i) {
            unsigned r = i / 32, c = i % 32;
            POKE16(VRAM_AT((26 + blk) * 2048 + 2 * i), (r + c) % 4 == 1 ? 1 + blk : 0);
        }
    /* BG2: 256 x 512, blocks 28..29; BG3: 512 x 512, blocks 16..19; each block its own bank. */
    for (unsigned blk = 0; blk < 2; ++blk)
        for (unsigned i = 0; i < 1024; ++i)
            POKE16(VRAM_AT((28 + blk) * 2048 + 2 * i), (i / 32 + i % 32) % 4 == 2 ? 3 | (4 + blk) << 12 : 0);
    for (unsigned blk = 0; blk < 4; ++blk)
        for (unsigned i = 0; i < 1024; ++i)
            POKE16(VRAM_AT((16 + blk) * 2048 + 2 * i), (i / 32 + i % 32) % 4 == 3 ? 2 | (blk * 2) << 12 : 0);
    POKE16(IO(BGCNT(0)), 1 | 24 << 8);
    POKE16(IO(BGCNT(1)), 1 | 1 << 2 | 0x80 | 26 << 8 | 1 << 14);
    POKE16(IO(BGCNT(2)), 0 | 28 << 8 | 2 << 14);
    POKE16(IO(BGCNT(3)), 2 | 16 << 8 | 3 << 14);
    POKE16(IO(BGHOFS(0)), 5);
    POKE16(IO(BGVOFS(0)), 3);
    POKE16(IO(BGHOFS(1)), 200);
    POKE16(IO(BGVOFS(2)), 200);
    POKE16(IO(BGHOFS(3)), 400);
    POKE16(IO(BGVOFS(3)), 430);
    POKE16(IO(DISPCNT), 0x0F00);
}

/* Mosaic on a text background (left), a magnified rotating background
 * (right, no wrap) and an affine sprite (the upper of two). Mode 1. */
static inline void SceneMosaic(void) {
    SceneStart(RGB(4, 4, 4));
    for (unsigned p = 0; p < 4; ++p) SceneTile4(32 * (1 + p), p, 0);
    for (unsigned i = 0; i < 1024; ++i) POKE16(VRAM_AT(24 * 2048 + 2 * i), 1 | ((i % 32) % 8) << 12);
    for (unsigned p = 0; p < 4; ++p) SceneTile8(0x8000 + 64 * (1 + p), p, 32 + 3 * p);
    for (unsigned i = 0; i < 256; i += 2) {
        unsigned a = (i / 16 + i % 16) % 3 == 0 ? 1 : 4, b = ((i + 1) / 16 + (i + 1) % 16) % 3 == 0 ? 1 : 0;
        POKE16(VRAM_AT(30 * 2048 + i), a | b << 8);
    }
    SceneSpriteTiles(1024);
    SceneSpriteAffine(0, 0x100, 0, 0, 0x100);
    SceneSprite(0, 40 | 0x100 | 0x1000, 150 | 3 << 14, 4);
    SceneSprite(1, 100 | 0x100, 150 | 3 << 14, 4);
    POKE16(IO(MOSAIC), 3 | 2 << 4 | 1 << 8 | 3 << 12);
    POKE16(IO(BGCNT(0)), 2 | 0x40 | 24 << 8);
    POKE16(IO(BGCNT(2)), 1 | 2 << 2 | 0x40 | 30 << 8);
    POKE16(IO(BGPA(0)), 0x80);
    POKE16(IO(BGPD(0)), 0x80);
    POKE32(IO(BGX(0)), (unsigned)(-60 * 256));
    POKE16(IO(BGHOFS(0)), 3);
    POKE16(IO(DISPCNT), 1 | 0x40 | 0x1000 | 0x0500);
}

/* Mode 2: a rotated background that wraps around under one that does not. */
static inline void SceneAffine(void) {
    SceneStart(RGB(0, 6, 6));
    for (unsigned p = 0; p < 4; ++p) SceneTile8(64 * (1 + p), p, 32 + 3 * p);
    for (unsigned i = 0; i < 1024; i += 2) {
        unsigned a = 1 + (i / 32 + i % 32) % 3, b = 1 + ((i + 1) / 32 + (i + 1) % 32) % 3;
        POKE16(VRAM_AT(8 * 2048 + i), a | b << 8);
    }
    for (unsigned i = 0; i < 256; i += 2) POKE16(VRAM_AT(10 * 2048 + i), (i / 16) % 2 ? 4 | 4 << 8 : 2 | 0 << 8);
    POKE16(IO(BGCNT(2)), 1 | 8 << 8 | 0x2000 | 1 << 14);
    POKE16(IO(BGCNT(3)), 0 | 10 << 8);
    POKE16(IO(BGPA(0)), 222);
    POKE16(IO(BGPB(0)), (unsigned)-128);
    POKE16(IO(BGPC(0)), 128);
    POKE16(IO(BGPD(0)), 222);
    POKE32(IO(BGX(0)), 40 << 8);
    POKE32(IO(BGY(0)), (unsigned)(-60 * 256));
    POKE16(IO(BGPA(1)), 0xC0);
    POKE16(IO(BGPB(1)), 0x20);
    POKE16(IO(BGPC(1)), 0);
    POKE16(IO(BGPD(1)), 0xC0);
    POKE32(IO(BGX(1)), (unsigned)(-50 * 256));
    POKE32(IO(BGY(1)), (unsigned)(-20 * 256));
    POKE16(IO(DISPCNT), 2 | 0x0C00);
}

/* Bitmap colour for the bitmap scenes: a gradient with a grid every 16 pixels. */
static inline unsigned SceneBitmapColour(unsigned x, unsigned y, unsigned page) {
    if (x % 16 == 0 || y % 16 == 0) return page ? RGB(31, 31, 0) : RGB(31, 31, 31);
    return page ? RGB(31 - x / 8, y / 6, 10) : RGB(x / 8, (x + y) / 13 % 32, y / 6);
}

/* Mode 3 with a sprite from the bitmap modes' tile base; BG2 a first target of
 * alpha blending, which bitmaps do not take part in. */
static inline void SceneMode3(void) {
    SceneStart(RGB(0, 0, 0));
    for (unsigned y = 0; y < 160; ++y)
        for (unsigned x = 0; x < 240; ++x) POKE16(VRAM_AT(2 * (y * 240 + x)), SceneBitmapColour(x, y, 0));
    for (unsigned t = 512; t < 1024; ++t) SceneTile4(OBJ_TILES + 32 * t, t % 4, 3 * (t % 5));
    SceneSprite(0, 60 | 1 << 14, 100 | 1 << 14, 512 | 1 << 12);
    POKE16(IO(BLDCNT), 4 | 1 << 6 | 1 << 13);
    POKE16(IO(BLDALPHA), 8 | 8 << 8);
    POKE16(IO(BGCNT(2)), 1);
    POKE16(IO(DISPCNT), 3 | 0x40 | 0x1400);
}

/* Mode 4, second page shown, darkened; page 0 holds a different picture. */
static inline void SceneMode4(void) {
    SceneStart(RGB(0, 0, 0));
    for (unsigned i = 1; i < 256; ++i) POKE16(BG_PALETTE(i), RGB(i % 32, (i / 8) % 32, 31 - i % 32));
    for (unsigned page = 0; page < 2; ++page)
        for (unsigned y = 0; y < 160; ++y)
            for (unsigned x = 0; x < 240; x += 2) {
                unsigned a = page ? (x / 4 + y / 4) % 256 : 7, b = page ? ((x + 1) / 4 + y / 4) % 256 : 7;
                if (page && (x % 32 == 0)) a = 0;
                POKE16(VRAM_AT(page * 0xA000 + y * 240 + x), a | b << 8);
            }
    POKE16(IO(BLDCNT), 4 | 3 << 6);
    POKE16(IO(BLDY), 6);
    POKE16(IO(DISPCNT), 4 | 0x10 | 0x0400);
}

/* Mode 5, second page, magnified twice and brightened. */
static inline void SceneMode5(void) {
    SceneStart(RGB(0, 10, 0));
    for (unsigned page = 0; page < 2; ++page)
        for (unsigned y = 0; y < 128; ++y)
            for (unsigned x = 0; x < 160; ++x)
                POKE16(VRAM_AT(page * 0xA000 + 2 * (y * 160 + x)), SceneBitmapColour(x, y, page));
    POKE16(IO(BGPA(0)), 0xC0);
    POKE16(IO(BGPD(0)), 0xC0);
    POKE32(IO(BGX(0)), 8 << 8);
    POKE16(IO(BLDCNT), 4 | 2 << 6);
    POKE16(IO(BLDY), 5);
    POKE16(IO(DISPCNT), 5 | 0x10 | 0x0400);
}

/* Sprites in 1-D mapping: every shape and size, flips, 256 colours, the
 * wrap of negative positions, priorities and the order of equal ones. */
static inline void SceneSprites(void) {
    SceneStart(RGB(6, 6, 6));
    SceneSpriteTiles(512);
    SceneSprite(0, 8, 8, 0);
    SceneSprite(1, 8, 24 | 1 << 14, 4);
    SceneSprite(2, 8, 48 | 2 << 14, 8);
    SceneSprite(3, 8, 88 | 3 << 14, 16);
    SceneSprite(4, 8 | 1 << 14, 160, 1 | 1 << 12);
    SceneSprite(5, 20 | 1 << 14, 160 | 1 << 14, 2 | 1 << 12);
    SceneSprite(6, 32 | 1 << 14, 160 | 2 << 14, 3 | 1 << 12);
    SceneSprite(7, 52 | 1 << 14, 160 | 3 << 14, 5 | 1 << 12);
    SceneSprite(8, 90 | 2 << 14, 8, 6 | 2 << 12);
    SceneSprite(9, 90 | 2 << 14, 20 | 1 << 14, 7 | 2 << 12);
    SceneSprite(10, 90 | 2 << 14, 32 | 2 << 14, 9 | 2 << 12);
    SceneSprite(11, 90 | 2 << 14, 56 | 3 << 14, 11 | 2 << 12);
    SceneSprite(12, 90, 100 | 1 << 12 | 2 << 14, 8 | 3 << 12);
    SceneSprite(13, 90, 136 | 1 << 13 | 2 << 14, 8 | 3 << 12);
    SceneSprite(14, 90, 172 | 3 << 12 | 2 << 14, 8 | 3 << 12);
    SceneSprite(15, 90 | 0x2000, 208 | 1 << 14, 512);
    SceneSprite(16, 100, 470 | 3 << 14, 20);
    SceneSprite(17, 200 | 2 << 14, 200 | 3 << 14, 40 | 1 << 12);
    SceneSprite(18, 180, 10 | 3 << 14, 40);
    SceneSprite(19, 130, 120 | 1 << 14, 30 | 1 << 10);
    SceneSprite(20, 136, 126 | 1 << 14, 34 | 2 << 12 | 1 << 10);
    SceneSprite(21, 130, 170 | 1 << 14, 30 | 1 << 10);
    SceneSprite(22, 136, 176 | 1 << 14, 34 | 2 << 12);
    POKE16(IO(DISPCNT), 0x40 | 0x1000);
}

/* Affine sprites in 2-D mapping: rotation, scaling, double size, the hidden
 * and never-drawn modes, and a double-size box running off the right edge. */
static inline void SceneAffineSprites(void) {
    SceneStart(RGB(0, 0, 8));
    SceneSpriteTiles(768);
    SceneSpriteAffine(0, 181, -181, 181, 181);
    SceneSpriteAffine(1, 0x80, 0, 0, 0x80);
    SceneSpriteAffine(2, 0x100, 0, 0, 0x100);
    SceneSpriteAffine(3, 0x140, 0x60, -0x30, 0x100);
    SceneSprite(0, 10 | 0x100, 10 | 0 << 9 | 2 << 14, 0);
    SceneSprite(1, 10 | 0x300, 60 | 0 << 9 | 2 << 14, 0);
    SceneSprite(2, 10 | 0x100, 140 | 1 << 9 | 2 << 14, 4 | 1 << 12);
    SceneSprite(3, 80 | 0x300, 10 | 2 << 9 | 3 << 14, 8 | 2 << 12);
    SceneSprite(4, 80 | 0x300 | 0x2000, 160 | 3 << 9 | 3 << 14, 768);
    SceneSprite(5, 90 | 0x200, 100 | 2 << 14, 0);
    SceneSprite(6, 90 | 3 << 10, 110 | 2 << 14, 0);
    SceneSprite(7, 20 | 0x300, 200 | 1 << 9 | 1 << 14, 12 | 3 << 12);
    POKE16(IO(DISPCNT), 0x1000);
}

/* Background layers for the window scenes: BG0 flags, BG1 checkers, sprites. */
static inline void SceneWindowLayers(void) {
    SceneTile4(32, 0, 0);
    SceneTile4(64, 1, 0);
    for (unsigned i = 0; i < 1024; ++i) {
        POKE16(VRAM_AT(24 * 2048 + 2 * i), 1 | (i % 3) << 12);
        POKE16(VRAM_AT(25 * 2048 + 2 * i), 2 | 5 << 12);
    }
    SceneSpriteTiles(1024);
    SceneSprite(0, 50, 30 | 3 << 14, 0);
    SceneSprite(1, 90, 150 | 3 << 14, 64 | 1 << 12);
    POKE16(IO(BGCNT(0)), 1 | 24 << 8);
    POKE16(IO(BGCNT(1)), 0 | 25 << 8);
}

/* Windows 0 and 1 overlapping; outside shows BG1 only. */
static inline void SceneWindowsOverlap(void) {
    SceneStart(RGB(10, 0, 0));
    SceneWindowLayers();
    POKE16(IO(WIN0H), 40 << 8 | 140);
    POKE16(IO(WIN0V), 30 << 8 | 110);
    POKE16(IO(WIN1H), 100 << 8 | 200);
    POKE16(IO(WIN1V), 60 << 8 | 140);
    POKE16(IO(WININ), 0x11 | 0x13 << 8);
    POKE16(IO(WINOUT), 0x02);
    POKE16(IO(DISPCNT), 0x40 | 0x1000 | 0x0300 | 0x6000);
}

/* Windows side by side, window 1 reaching the right edge, and a sprite window over both. */
static inline void SceneWindowsDisjoint(void) {
    SceneStart(RGB(10, 0, 0));
    SceneWindowLayers();
    SceneSprite(2, 40 | 2 << 10, 60 | 3 << 14, 128);
    SceneSprite(3, 100 | 2 << 10 | 0x100, 190 | 3 << 14, 128);
    SceneSpriteAffine(0, 0x100, 0, 0, 0x100);
    POKE16(IO(WIN0H), 20 << 8 | 80);
    POKE16(IO(WIN0V), 0 << 8 | 160);
    POKE16(IO(WIN1H), 150 << 8 | 240);
    POKE16(IO(WIN1V), 20 << 8 | 150);
    POKE16(IO(WININ), 0x01 | 0x10 << 8);
    POKE16(IO(WINOUT), 0x02 | 0x11 << 8);
    POKE16(IO(DISPCNT), 0x40 | 0x1000 | 0x0300 | 0xE000);
}

/* Alpha blending: BG0 and a normal sprite first targets over BG1 (second
 * target, left two thirds only), a semi-transparent sprite over BG1 and over
 * the backdrop, which is no second target. */
static inline void SceneBlend(void) {
    SceneStart(RGB(0, 0, 12));
    SceneTile4(32, 0, 0);
    SceneTile4(64, 3, 0);
    for (unsigned i = 0; i < 1024; ++i) {
        POKE16(VRAM_AT(24 * 2048 + 2 * i), (i / 32) % 4 < 2 ? 1 | (i % 3) << 12 : 0);
        POKE16(VRAM_AT(25 * 2048 + 2 * i), i % 32 < 20 ? 2 | 7 << 12 : 0);
    }
    SceneSpriteTiles(1024);
    SceneSprite(0, 20, 140 | 3 << 14, 0);
    SceneSprite(1, 90 | 1 << 10, 110 | 3 << 14, 64 | 2 << 12);
    POKE16(IO(BGCNT(0)), 0 | 24 << 8);
    POKE16(IO(BGCNT(1)), 1 | 25 << 8);
    POKE16(IO(BLDCNT), 0x01 | 0x10 | 1 << 6 | 0x02 << 8);
    POKE16(IO(BLDALPHA), 10 | 6 << 8);
    POKE16(IO(DISPCNT), 0x40 | 0x1000 | 0x0300);
}

/* Brighten in mode 1: the rotating BG2, the sprites and the backdrop are first
 * targets, BG0 is not; a semi-transparent sprite blends with BG0 instead. */
static inline void SceneBrighten(void) {
    SceneStart(RGB(6, 0, 10));
    SceneTile4(32, 0, 0);
    for (unsigned i = 0; i < 1024; ++i) POKE16(VRAM_AT(24 * 2048 + 2 * i), i % 32 < 12 ? 1 | 2 << 12 : 0);
    for (unsigned p = 0; p < 4; ++p) SceneTile8(0x8000 + 64 * (1 + p), p, 32 + 3 * p);
    for (unsigned i = 0; i < 256; i += 2) POKE16(VRAM_AT(30 * 2048 + i), (i / 16) % 2 ? 1 | 3 << 8 : 2 | 4 << 8);
    SceneSpriteTiles(1024);
    SceneSprite(0, 30, 20 | 3 << 14, 0);
    SceneSprite(1, 90 | 1 << 10, 40 | 3 << 14, 64 | 3 << 12);
    POKE16(IO(BGCNT(0)), 0 | 24 << 8);
    POKE16(IO(BGCNT(2)), 1 | 2 << 2 | 30 << 8);
    POKE32(IO(BGX(0)), (unsigned)(-100 * 256));
    POKE16(IO(BLDCNT), 0x04 | 0x10 | 0x20 | 2 << 6 | 0x01 << 8);
    POKE16(IO(BLDALPHA), 8 | 8 << 8);
    POKE16(IO(BLDY), 8);
    POKE16(IO(DISPCNT), 1 | 0x40 | 0x1000 | 0x0500);
}

/* Darken: BG0, the sprites and the backdrop darkened; BG1 untouched. */
static inline void SceneDarken(void) {
    SceneStart(RGB(20, 20, 31));
    SceneTile4(32, 0, 0);
    SceneTile4(64, 1, 0);
    for (unsigned i = 0; i < 1024; ++i) {
        POKE16(VRAM_AT(24 * 2048 + 2 * i), i % 32 < 15 ? 1 | 3 << 12 : 0);
        POKE16(VRAM_AT(25 * 2048 + 2 * i), (i / 32) % 2 ? 2 | 1 << 12 : 0);
    }
    SceneSpriteTiles(1024);
    SceneSprite(0, 40, 90 | 3 << 14, 0);
    POKE16(IO(BGCNT(0)), 1 | 24 << 8);
    POKE16(IO(BGCNT(1)), 0 | 25 << 8);
    POKE16(IO(BLDCNT), 0x01 | 0x10 | 0x20 | 3 << 6);
    POKE16(IO(BLDY), 12);
    POKE16(IO(DISPCNT), 0x40 | 0x1000 | 0x0300);
}

#endif

/* main.c - the Tamboril demo cartridge: a scrolling checkerboard, a rotating
   ring layer, 32 animated sprites under a blended text panel, a tune with a
   drum, a player sprite moved with the pad and a boot counter kept in SRAM.
   Every frame waits for vertical blank through the BIOS. */
#include "demo.h"

volatile u32 VBlankCount;

static void ShowKeys(u32 keys) {
    static const struct {
        u32 key;
        const char* name;
        int column;
    } Labels[] = {{KEY_A, "A", 2}, {KEY_B, "B", 4}, {KEY_L, "L", 6}, {KEY_R, "R", 8}, {KEY_START, "START", 10},
                  {KEY_SELECT, "SELECT", 16}};
    for (unsigned i = 0; i < sizeof Labels / sizeof Labels[0]; ++i)
        DrawText(TEXT_MAP, Labels[i].column, 18, Labels[i].name, FONT_FIRST_TILE, 0);
    for (unsigned i = 0; i < sizeof Labels / sizeof Labels[0]; ++i)
        if (!(keys & Labels[i].key))
            for (const char* c = Labels[i].name; *c; ++c)
                TEXT_MAP[18 * 32 + Labels[i].column + (c - Labels[i].name)] = PANEL_TILE;
}

int main(void) {
    u32 boots = CountBoot();
    SetUpGraphics();
    SetUpSound();
    DrawText(TEXT_MAP, 2, 1, "TAMBORIL DEMO", FONT_FIRST_TILE, 0);
    DrawText(TEXT_MAP, 18, 1, "BOOT", FONT_FIRST_TILE, 0);
    DrawNumber(TEXT_MAP, 23, 1, boots, 5, FONT_FIRST_TILE, 0);
    DrawText(TEXT_MAP, 2, 2, "PAD MOVES  A DRUM", FONT_FIRST_TILE, 0);
    DrawText(TEXT_MAP, 2, 17, "FRAME", FONT_FIRST_TILE, 0);

    IRQ_VECTOR = InterruptHandler;
    REG_DISPSTAT = 0x0008; /* vertical-blank interrupt */
    REG_IE = 0x0001;
    REG_IME = 1;

    int playerX = 112, playerY = 100, flipped = 0, paused = 0, blending = 1;
    u32 frame = 0, angle = 0, previousKeys = 0, shownKeys = ~0u;
    int shownPaused = -1;
    for (;;) {
        VBlankIntrWait();
        CopySpritesToOam();
        u32 keys = ~REG_KEYINPUT & 0x3FF;
        u32 pressed = keys & ~previousKeys;
        previousKeys = keys;

        if (keys & KEY_LEFT) playerX -= 2;
        if (keys & KEY_RIGHT) playerX += 2;
        if (keys & KEY_UP) playerY -= 2;
        if (keys & KEY_DOWN) playerY += 2;
        playerX = playerX < 0 ? 0 : playerX > 224 ? 224 : playerX;
        playerY = playerY < 32 ? 32 : playerY > 112 ? 112 : playerY;
        if (pressed & KEY_A) StartDrum();
        if (pressed & KEY_B) flipped = !flipped;
        if (pressed & KEY_START) paused = !paused;
        if (pressed & KEY_SELECT) {
            blending = !blending;
            REG_BLDCNT = blending ? (0x0001 | 1 << 6 | 1 << 9 | 1 << 10 | 1 << 12) : 0;
        }
        if (keys & KEY_L) angle -= 2;
        if (keys & KEY_R) angle += 2;

        if (!paused) {
            ++frame;
            angle += 1;
            if (frame % 128 == 64) StartDrum();
        }
        REG_BGHOFS(1) = (u16)frame;
        REG_BGVOFS(1) = (u16)(frame / 2);
        RotateLayer(angle, 256 + Sine(frame) / 4);
        AnimateSprites(frame, playerX, playerY, flipped);
        PlayTune();
        UpdateDrum();
        DrawNumber(TEXT_MAP, 8, 17, VBlankCount, 6, FONT_FIRST_TILE, 0);
        /* The pause note and the key row change rarely: redraw them only then. */
        if (paused != shownPaused) {
            DrawText(TEXT_MAP, 16, 17, paused ? "PAUSED" : "      ", FONT_FIRST_TILE, 0);
            shownPaused = paused;
        }
        if (keys != shownKeys) {
            ShowKeys(keys);
            shownKeys = keys;
        }
    }
}

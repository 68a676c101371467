// renderer.cpp - the per-line driver: window mask, backdrop, and the order in
// which backgrounds and sprites are drawn, plus the colour tables.
//
// A line is drawn back to front straight into FrameSurface: the backdrop
// first, then the backgrounds in BgOrder with the sprites of each priority
// level slotted in after the last background of equal or larger priority
// number. Colour effects need no extra pass: each layer is drawn by the
// renderer version of its effect, which reads the second-target colour left
// in UnderLine by the layers below.
#include "renderer.h"

#include <algorithm>

#include "../machine/io.h"
#include "layers.h"

uint16_t* FrameSurface;
uint16_t ColourTable[65536];
uint32_t SpreadTable[65536];
uint16_t UnderLine[SurfaceWidth];
uint8_t WindowMask[SurfaceWidth];
uint32_t BgOrder[4];

namespace {

PresentHook Present = nullptr;

constexpr uint32_t SecondTargetFlag = 1u << 27;

uint32_t Priority(uint32_t entry) { return entry >> 30; }
uint32_t BgNumber(uint32_t entry) { return (entry >> 28) & 3; }

void FillMask(int from, int to, uint8_t value) {
    for (int x = from; x < to; ++x) WindowMask[SurfaceLeft + x] = value;
}

// Edges of window `n` on `line`, or false when it is off or absent there.
// Edges beyond the screen are clamped; a window never wraps around.
bool WindowSpan(int n, int line, uint32_t dispcnt, int& left, int& right) {
    left = right = ScreenWidth;
    if (!(dispcnt & (1u << (13 + n)))) return false;
    uint32_t v = ReadIo(Reg::WIN0V + 2 * n), h = ReadIo(Reg::WIN0H + 2 * n);
    if (static_cast<int>(v >> 8) > line || line >= static_cast<int>(v & 0xFF)) return false;
    int l = std::min<int>(h >> 8, ScreenWidth), r = std::min<int>(h & 0xFF, ScreenWidth);
    if (r < l) return false;
    left = l;
    right = r;
    return true;
}

void BuildWindowMask(int line, uint32_t dispcnt) {
    int left0, right0, left1, right1;
    bool has0 = WindowSpan(0, line, dispcnt, left0, right0);
    bool has1 = WindowSpan(1, line, dispcnt, left1, right1);
    uint32_t winin = ReadIo(Reg::WININ);
    uint8_t outside = (dispcnt & 0xE000) ? static_cast<uint8_t>(ReadIo(Reg::WINOUT)) : 0xFF;
    uint8_t inside0 = static_cast<uint8_t>(winin), inside1 = static_cast<uint8_t>(winin >> 8);

    if (has0) FillMask(left0, right0, inside0);
    if (has1) {
        if (right1 < left0 || right0 < left1) {
            FillMask(left1, right1, inside1);
            if (right1 < left0)
                FillMask(right1, left0, outside);
            else
                FillMask(right0, left1, outside);
        } else {
            // Window 0 wins where the two overlap.
            FillMask(left1, left0, inside1);
            FillMask(right0, right1, inside1);
        }
    }
    FillMask(0, std::min(left0, left1), outside);
    // The outside starts where the rightmost window ends; a window 1 that
    // reaches the right edge of the screen keeps its columns.
    int end = (has1 && right0 < right1) ? right1 : right0;
    FillMask(end, ScreenWidth, outside);

    if (dispcnt & 0x8000) SpriteWindowPass(line);
}

void DrawBackdrop(int line, uint32_t dispcnt, uint32_t bldcnt) {
    uint32_t backdrop = Video::Palette(0);
    uint16_t pixel;
    if (dispcnt & 0x80)
        pixel = ColourTable[0x7FFF];
    else if ((bldcnt & 0xE0) == 0xA0)
        pixel = Video::Shade<Video::Brighten>(backdrop, 0);
    else if ((bldcnt & 0xE0) == 0xE0)
        pixel = Video::Shade<Video::Darken>(backdrop, 0);
    else
        pixel = ColourTable[backdrop];
    std::fill_n(FrameSurface + line * SurfaceWidth + SurfaceLeft, ScreenWidth, pixel);
    std::fill_n(UnderLine + SurfaceLeft, ScreenWidth, static_cast<uint16_t>((bldcnt & 0x2000) ? backdrop : 0));
}

// Draws sprites of priority `from` down to, but not including, `downTo`.
void DrawSprites(SpriteRenderer sprites, int line, int from, int downTo) {
    for (int p = from; p > downTo; --p) sprites(line, p);
}

void DrawTiledLine(int line, uint32_t dispcnt, uint32_t bldcnt, uint32_t mode, SpriteRenderer sprites) {
    uint32_t effect = (bldcnt >> 6) & 3;
    bool spritesOn = dispcnt & 0x1000;
    if (spritesOn) DrawSprites(sprites, line, 3, Priority(BgOrder[0]));
    for (int k = 0; k < 4; ++k) {
        uint32_t entry = BgOrder[k], bg = BgNumber(entry);
        bool affine = mode != 0 && (entry & (1u << 29));
        bool inMode = mode == 0 || (mode == 1 && bg <= 2) || (mode == 2 && bg >= 2);
        if (inMode && (dispcnt & (0x100u << bg))) {
            entry = (bldcnt & (0x100u << bg)) ? entry | SecondTargetFlag : entry & ~SecondTargetFlag;
            BgOrder[k] = entry;
            uint32_t eff = (bldcnt & (1u << bg)) ? effect : 0;
            (affine ? AffineBgRenderers : TextBgRenderers)[eff](line, entry);
        }
        if (spritesOn) DrawSprites(sprites, line, Priority(entry), k < 3 ? Priority(BgOrder[k + 1]) : -1);
    }
}

void DrawBitmapLine(int line, uint32_t dispcnt, uint32_t bldcnt, uint32_t mode, SpriteRenderer sprites) {
    bool spritesOn = dispcnt & 0x1000;
    int priority = ReadIo(Reg::BG0CNT + 4) & 3;
    if (spritesOn) DrawSprites(sprites, line, 3, priority);
    if (dispcnt & 0x400) {
        uint32_t eff = (bldcnt & 4) ? (bldcnt >> 6) & 3 : 0;
        const uint8_t* vram = VideoRam();
        const uint8_t* page = (dispcnt & 0x10) ? vram + 0xA000 : vram;
        if (mode == 3)
            Mode3Renderers[eff](line, vram);
        else if (mode == 4)
            Mode4Renderers[eff](line, page);
        else
            Mode5Renderers[eff](line, page);
    }
    if (spritesOn) DrawSprites(sprites, line, priority, -1);
}

}  // namespace

void FillColourTables() {
    for (uint32_t i = 0; i < 65536; ++i) {
        ColourTable[i] = Rgb565(i & 31, Green6((i >> 5) & 31), (i >> 10) & 31);
        SpreadTable[i] = SpreadColour(i);
    }
}

void UpdateBgOrder(int bg, uint32_t value) {
    uint32_t number = static_cast<uint32_t>(bg) & 3;
    value &= 0xFFFF;
    uint32_t entry = value | number << 28 | (value & 3) << 30;
    int i = 0;
    while (i < 3 && BgNumber(BgOrder[i]) != number) ++i;
    if (Priority(entry) != Priority(BgOrder[i])) {
        // Insertion sort step: the list runs from the largest entry to the smallest.
        while (i > 0 && BgOrder[i - 1] < entry) {
            BgOrder[i] = BgOrder[i - 1];
            --i;
        }
        while (i < 3 && BgOrder[i + 1] > entry) {
            BgOrder[i] = BgOrder[i + 1];
            ++i;
        }
    }
    BgOrder[i] = entry;
}

void ResetBgOrder() {
    for (int k = 0; k < 4; ++k) {
        uint32_t bg = 3 - k, value = ReadIo(Reg::BG0CNT + 2 * bg);
        BgOrder[k] = value | bg << 28 | (value & 3) << 30;
    }
}

void RenderLine(int line) {
    if (!FrameSurface || line < 0 || line >= ScreenHeight) return;
    uint32_t dispcnt = ReadIo(Reg::DISPCNT), bldcnt = ReadIo(Reg::BLDCNT);
    if (dispcnt & 0x9000) Video::CollectSprites(line);
    BuildWindowMask(line, dispcnt);
    DrawBackdrop(line, dispcnt, bldcnt);
    if (dispcnt & 0x80) return;

    uint32_t mode = dispcnt & 7;
    SpriteRenderer sprites = SpriteRenderers[(bldcnt & 0x10) ? (bldcnt >> 6) & 3 : 0];
    if (mode <= 2)
        DrawTiledLine(line, dispcnt, bldcnt, mode, sprites);
    else if (mode <= 5)
        DrawBitmapLine(line, dispcnt, bldcnt, mode, sprites);
}

void PresentFrame() {
    if (Present) Present();
}

void SetPresentHook(PresentHook hook) { Present = hook; }

// renderer.cpp - stand-in renderer: keeps the background order, draws the backdrop.
#include "renderer.h"

#include "../machine/io.h"

uint16_t* FrameSurface;
uint16_t ColourTable[65536];
uint32_t SpreadTable[65536];
uint32_t BgOrder[4];

namespace {
PresentHook Present = nullptr;
}

void FillColourTables() {
    for (uint32_t i = 0; i < 65536; ++i) {
        uint32_t red = i & 31, green = ((i >> 5) & 31) * 63 / 31, blue = (i >> 10) & 31;
        ColourTable[i] = static_cast<uint16_t>(blue | green << 5 | red << 11);
        SpreadTable[i] = (i & 31) | ((i & 0x3E0) << 5) | ((i & 0x7C00) << 10);
    }
}

void UpdateBgOrder(int bg, uint32_t value) {
    for (uint32_t& e : BgOrder)
        if (((e >> 28) & 3) == static_cast<uint32_t>(bg)) e = value | bg << 28 | (value & 3) << 30;
}

void ResetBgOrder() {
    for (int k = 0; k < 4; ++k) {
        uint32_t bg = 3 - k, value = ReadIo(Reg::BG0CNT + 2 * bg);
        BgOrder[k] = value | bg << 28 | (value & 3) << 30;
    }
}

void RenderLine(int line) {
    if (!FrameSurface) return;
    uint16_t colour = ColourTable[Load16(PaletteRam())];
    uint16_t* row = FrameSurface + line * SurfaceWidth + SurfaceLeft;
    for (int x = 0; x < ScreenWidth; ++x) row[x] = colour;
}

void PresentFrame() {
    if (Present) Present();
}

void SetPresentHook(PresentHook hook) { Present = hook; }

// renderer.h - the scanline renderer: frame surface, colour tables, background order.
//
// The renderer draws each visible line of a shown frame into FrameSurface, a
// 500 x 160 surface of 16-bit pixels whose visible 240 columns start at column
// 130; the margins absorb layer pixels left and right of the screen.
#pragma once

#include <cstdint>

constexpr int SurfaceWidth = 500;
constexpr int SurfaceHeight = 160;
constexpr int SurfaceLeft = 130;
constexpr int ScreenWidth = 240;
constexpr int ScreenHeight = 160;

// The surface the renderer draws into; owned by the video output (or the
// headless host), SurfaceWidth x SurfaceHeight pixels, row-major.
extern uint16_t* FrameSurface;
// Raw 15-bit colour (bit 15 included) to display pixel, and to the spread form used by effects.
extern uint16_t ColourTable[65536];
extern uint32_t SpreadTable[65536];
// Fills ColourTable with RGB565 and SpreadTable with the spread form.
void FillColourTables();

// The display pixel (RGB565) of 5-bit red, 6-bit green and 5-bit blue.
constexpr uint16_t Rgb565(uint32_t red5, uint32_t green6, uint32_t blue5) {
    return static_cast<uint16_t>(blue5 | green6 << 5 | red5 << 11);
}
// A 5-bit green widened to the display's 6 bits, truncating (16 gives 32, 1 gives 2).
constexpr uint32_t Green6(uint32_t green5) { return green5 * 63 / 31; }
// The spread form of a raw colour: each component in its own 10-bit field.
constexpr uint32_t SpreadColour(uint32_t raw) { return (raw & 31) | ((raw & 0x3E0) << 5) | ((raw & 0x7C00) << 10); }

// Spread form back to a 15-bit colour. Each 10-bit field holds 16 x a
// component; a field whose top bit is set has overflowed and saturates at 31.
// Branch-free: the top bit of each field, shifted down, fills that field's
// component bits with ones, then the three components are packed together.
inline uint32_t Unspread(uint32_t s) {
    uint32_t top = s & 0x20080200;
    uint32_t fields = ((s | (top - (top >> 5))) >> 4) & 0x01F07C1F;  // component k at bit 10k
    uint32_t pairs = fields | fields >> 5;                           // c0 at 0, c1 at 5, c2 at 15
    return (pairs & 0x3FF) | ((pairs >> 5) & 0x7C00);
}

// Per-line buffers with the surface's margins, indexed by column (screen x + SurfaceLeft).
// UnderLine: raw colour of the last second-target pixel drawn at a column (0 = none).
// WindowMask: window control byte at a column (bits 0..3 BG0..BG3, bit 4 sprites).
extern uint16_t UnderLine[SurfaceWidth];
extern uint8_t WindowMask[SurfaceWidth];

// Background order, back to front: BGxCNT | second-target bit 27 | number << 28 | priority << 30.
extern uint32_t BgOrder[4];
void UpdateBgOrder(int bg, uint32_t value);
// BG3, BG2, BG1, BG0 built from the current control registers.
void ResetBgOrder();

void RenderLine(int line);
// Hands the visible rectangle of FrameSurface to the video output.
void PresentFrame();
using PresentHook = void (*)();
void SetPresentHook(PresentHook hook);

// Layer renderers, one per colour effect (0 none, 1 alpha blend, 2 brighten,
// 3 darken); RenderLine picks one per layer and line.
using BgRenderer = void (*)(int line, uint32_t entry);
using BitmapRenderer = void (*)(int line, const uint8_t* base);
using SpriteRenderer = void (*)(int line, int priority);
extern const BgRenderer TextBgRenderers[4];
extern const BgRenderer AffineBgRenderers[4];
extern const BitmapRenderer Mode3Renderers[4];
extern const BitmapRenderer Mode4Renderers[4];
extern const BitmapRenderer Mode5Renderers[4];
extern const SpriteRenderer SpriteRenderers[4];
// Marks the window mask under every opaque pixel of the sprite-window sprites on the line.
void SpriteWindowPass(int line);

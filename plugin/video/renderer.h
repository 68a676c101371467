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

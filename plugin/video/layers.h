// layers.h - what the layer renderers share: the colour of a drawn pixel per
// effect, and the view of the current line they draw into.
//
// Every layer renderer exists once per colour effect. The effect is a template
// argument, so each version is its own loop and no pixel tests the effect; the
// versions differ only in Shade, never in how they walk or address pixels.
#pragma once

#include <cstdint>
#include <cstring>

#include "../machine/io.h"
#include "renderer.h"

namespace Video {

enum Effect : int { Plain = 0, Blend = 1, Brighten = 2, Darken = 3 };

// White in spread form: 31 in each 10-bit field.
constexpr uint32_t SpreadWhite = 0x1F07C1F;

// The effect coefficients of the current line in the form the pixel loops
// use, read once per layer so that they stay in registers (stores to the
// line's bytes would otherwise make every pixel reload them):
// blend = SpreadTable[under] x `under` + SpreadTable[colour] x `own`;
// brighten = SpreadTable[colour] x `own` + `add` (the same sum as
// s x 16 + (white - s) x EVY, regrouped); darken = SpreadTable[colour] x `own`.
struct Weights {
    uint32_t under, own, add;
};
template <int E>
inline Weights CurrentWeights() {
    uint32_t evy = static_cast<uint32_t>(BlendEvy);
    if constexpr (E == Blend)
        return {static_cast<uint32_t>(BlendEvb), static_cast<uint32_t>(BlendEva), 0};
    else if constexpr (E == Brighten)
        return {0, 16u - evy, SpreadWhite * evy};
    else if constexpr (E == Darken)
        return {0, 16u - evy, 0};
    else
        return {0, 0, 0};
}

// Display pixel for raw colour `colour` drawn over second-target colour `under`.
template <int E>
inline uint16_t Shade(uint32_t colour, uint32_t under, const Weights& w) {
    if constexpr (E == Blend) {
        return ColourTable[Unspread(SpreadTable[under] * w.under + SpreadTable[colour] * w.own)];
    } else if constexpr (E == Brighten) {
        return ColourTable[Unspread(SpreadTable[colour] * w.own + w.add)];
    } else if constexpr (E == Darken) {
        return ColourTable[Unspread(SpreadTable[colour] * w.own)];
    } else {
        (void)under;
        (void)w;
        return ColourTable[colour];
    }
}
template <int E>
inline uint16_t Shade(uint32_t colour, uint32_t under) {
    return Shade<E>(colour, under, CurrentWeights<E>());
}

// Semi-transparent sprites blend whenever a second-target pixel lies below
// (`w` holds the blend weights whatever the line's effect).
inline uint16_t ShadeSemi(uint32_t colour, uint32_t under, const Weights& w) {
    return under ? Shade<Blend>(colour, under, w) : ColourTable[colour];
}

// The current line as the layers see it: each pointer is indexed by screen x
// (-130..369), so the margins take pixels off either side of the screen.
struct LineView {
    uint16_t* row;
    uint16_t* under;
    const uint8_t* mask;
};
inline LineView ViewOfLine(int line) {
    return {FrameSurface + line * SurfaceWidth + SurfaceLeft, UnderLine + SurfaceLeft, WindowMask + SurfaceLeft};
}

inline uint32_t Palette(uint32_t index) { return Load16(PaletteRam() + 2 * index); }

// True when all eight window-mask bytes from `mask` have `bit` set, so a
// tile's row can be drawn without testing each pixel (no window on the line,
// or a tile wholly inside one).
inline bool WindowAllowsEight(const uint8_t* mask, uint32_t bit) {
    uint64_t bytes;
    std::memcpy(&bytes, mask, 8);
    uint64_t wanted = bit * 0x0101010101010101ull;
    return (bytes & wanted) == wanted;
}

// True when none of the eight 4-bit pixels in `bits` is 0 (transparent).
inline bool AllNibblesSet(uint32_t bits) { return ((bits - 0x11111111u) & ~bits & 0x88888888u) == 0; }
// True when none of the eight 8-bit pixels at `data` is 0.
inline bool AllBytesSet(const uint8_t* data) {
    uint32_t a = Load32(data), b = Load32(data + 4);
    return (((a - 0x01010101u) & ~a) | ((b - 0x01010101u) & ~b)) & 0x80808080u ? false : true;
}

// Draws the opaque pixels of one 8-pixel tile row: `mask` points at the
// window-mask byte of its first pixel, `value(k)` gives pixel k's value
// (0 transparent) and `plot(k, value)` colours it. A row wholly inside the
// window and wholly opaque (`opaque`) is drawn without any test per pixel;
// the window test is made per pixel only where the row is partly masked.
template <class Value, class Plot>
[[gnu::always_inline]] inline void DrawEight(const uint8_t* mask, uint32_t bit, bool opaque, Value value,
                                             const Plot& plot) {
    if (WindowAllowsEight(mask, bit)) {
        if (opaque) {
#pragma GCC unroll 8
            for (int k = 0; k < 8; ++k) plot(k, value(k));
        } else {
#pragma GCC unroll 8
            for (int k = 0; k < 8; ++k)
                if (uint32_t v = value(k)) plot(k, v);
        }
    } else {
#pragma GCC unroll 8
        for (int k = 0; k < 8; ++k)
            if (uint32_t v = value(k); v && (mask[k] & bit)) plot(k, v);
    }
}

// Builds the lists of sprites that cover `line`, for SpriteRenderers and SpriteWindowPass.
void CollectSprites(int line);

}  // namespace Video

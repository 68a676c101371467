// layers.h - what the layer renderers share: the colour of a drawn pixel per
// effect, and the view of the current line they draw into.
//
// Every layer renderer exists once per colour effect. The effect is a template
// argument, so each version is its own loop and no pixel tests the effect; the
// versions differ only in Shade, never in how they walk or address pixels.
#pragma once

#include <cstdint>

#include "../machine/io.h"
#include "renderer.h"

namespace Video {

enum Effect : int { Plain = 0, Blend = 1, Brighten = 2, Darken = 3 };

// White in spread form: 31 in each 10-bit field.
constexpr uint32_t SpreadWhite = 0x1F07C1F;

// Display pixel for raw colour `colour` drawn over second-target colour `under`.
template <int E>
inline uint16_t Shade(uint32_t colour, uint32_t under) {
    if constexpr (E == Blend) {
        return ColourTable[Unspread(SpreadTable[under] * static_cast<uint32_t>(BlendEvb) +
                                    SpreadTable[colour] * static_cast<uint32_t>(BlendEva))];
    } else if constexpr (E == Brighten) {
        uint32_t s = SpreadTable[colour];
        return ColourTable[Unspread(s * 16 + (SpreadWhite - s) * static_cast<uint32_t>(BlendEvy))];
    } else if constexpr (E == Darken) {
        return ColourTable[Unspread(SpreadTable[colour] * (16u - static_cast<uint32_t>(BlendEvy)))];
    } else {
        (void)under;
        return ColourTable[colour];
    }
}

// Semi-transparent sprites blend whenever a second-target pixel lies below.
inline uint16_t ShadeSemi(uint32_t colour, uint32_t under) {
    return under ? Shade<Blend>(colour, under) : ColourTable[colour];
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

// Builds the lists of sprites that cover `line`, for SpriteRenderers and SpriteWindowPass.
void CollectSprites(int line);

}  // namespace Video

// text_bg.cpp - tiled ("text") backgrounds: 256 or 512 pixels square maps of
// 8 x 8 tiles with 16 or 256 colours, flips, scrolling and mosaic.
//
// A line is 31 tiles (248 pixels) starting up to 7 pixels left of the screen,
// so each tile's row is fetched once and drawn whole; the surface margins take
// what falls off either side. Every address stays inside the padded VRAM
// buffer: the highest is character base 3 + tile 1023 of 64 bytes (112 KB).
#include "layers.h"

namespace Video {
namespace {

static_assert(3 * 16384 + 1023 * 64 + 63 < VideoRamBufferSize);
static_assert(31 * 2048 + 31 * 64 + 4096 + 2048 + 63 < VideoRamBufferSize);

constexpr uint32_t SecondTargetFlag = 1u << 27;

// Pixels of one tile row: `row` and `under` point at its first pixel and
// `palette` at its colours (the bank's, for 16-colour tiles).
template <int E, bool Target>
struct BgPlot {
    uint16_t* row;
    uint16_t* under;
    const uint8_t* palette;
    Weights weights;
    [[gnu::always_inline]] void operator()(int k, uint32_t value) const {
        uint32_t colour = Load16(palette + 2 * value);
        row[k] = Shade<E>(colour, under[k], weights);
        if constexpr (Target) under[k] = colour;
    }
};

template <int E, bool Target, bool Colour256, bool Mosaic>
void DrawTextLine(int line, uint32_t entry) {
    uint32_t bg = (entry >> 28) & 3;
    uint32_t hofs = ReadIo(Reg::BG0HOFS + 4 * bg), vofs = ReadIo(Reg::BG0VOFS + 4 * bg);
    uint32_t mosaic = ReadIo(Reg::MOSAIC);
    uint32_t y = (static_cast<uint32_t>(line) + vofs) & ((entry & 0x8000) ? 511 : 255);
    if constexpr (Mosaic) y -= y % (((mosaic >> 4) & 15) + 1);

    const uint8_t* vram = VideoRam();
    const uint8_t* mapRow = vram + ((entry >> 8) & 31) * 2048 + (y & 0xF8) * 8;
    if (y >= 256) mapRow += (entry & 0x4000) ? 4096 : 2048;
    const uint8_t* chars = vram + ((entry >> 2) & 3) * 16384;
    uint32_t columnMask = (entry & 0x4000) ? 63 : 31;
    uint32_t column = (hofs >> 3) & columnMask;
    uint32_t tileRow = y & 7;

    const LineView v = ViewOfLine(line);
    const uint8_t* palette = PaletteRam();
    uint32_t windowBit = 1u << bg;
    const Weights weights = CurrentWeights<E>();
    uint32_t run = Mosaic ? (mosaic & 15) : 0, counter = 0, held = 0;

    int x = -static_cast<int>(hofs & 7);
    for (int tileIndex = 0; tileIndex < 31; ++tileIndex, x += 8) {
        uint32_t map = Load16(mapRow + 2 * ((column & 31) + (column >= 32 ? 1024 : 0)));
        column = (column + 1) & columnMask;
        uint32_t row = (map & 0x800) ? 7 - tileRow : tileRow;
        bool flip = map & 0x400;
        uint32_t tile = map & 1023;
        const uint8_t* mask = v.mask + x;
        if constexpr (Mosaic) {
            // A pixel is fetched when the run counter is 0 and repeated for the run.
            const BgPlot<E, Target> plot{v.row + x, v.under + x, palette, weights};
            const uint8_t* data = chars + (Colour256 ? tile * 64 + row * 8 : tile * 32 + row * 4);
            uint32_t bank = Colour256 ? 0 : (map >> 12) * 16;
            for (int k = 0; k < 8; ++k) {
                if (counter == 0) {
                    int index = flip ? 7 - k : k;
                    uint32_t value = Colour256 ? data[index] : (data[index / 2] >> (4 * (index & 1))) & 15;
                    held = value ? bank + value : 0;
                    counter = run;
                } else {
                    --counter;
                }
                if (held && (mask[k] & windowBit)) plot(k, held);
            }
        } else if constexpr (Colour256) {
            const BgPlot<E, Target> plot{v.row + x, v.under + x, palette, weights};
            const uint8_t* data = chars + tile * 64 + row * 8;
            bool opaque = AllBytesSet(data);
            if (flip)
                DrawEight(
                    mask, windowBit, opaque, [&](int k) -> uint32_t { return data[7 - k]; }, plot);
            else
                DrawEight(
                    mask, windowBit, opaque, [&](int k) -> uint32_t { return data[k]; }, plot);
        } else {
            uint32_t bits = Load32(chars + tile * 32 + row * 4);
            if (!bits) continue;
            const BgPlot<E, Target> plot{v.row + x, v.under + x, palette + (map >> 12) * 32, weights};
            bool opaque = AllNibblesSet(bits);
            if (flip)
                DrawEight(
                    mask, windowBit, opaque, [&](int k) -> uint32_t { return (bits >> (28 - 4 * k)) & 15; }, plot);
            else
                DrawEight(
                    mask, windowBit, opaque, [&](int k) -> uint32_t { return (bits >> (4 * k)) & 15; }, plot);
        }
    }
}

template <int E, bool Target>
void DrawTextWithTarget(int line, uint32_t entry) {
    bool colour256 = entry & 0x80, mosaic = entry & 0x40;
    if (colour256)
        (mosaic ? DrawTextLine<E, Target, true, true> : DrawTextLine<E, Target, true, false>)(line, entry);
    else
        (mosaic ? DrawTextLine<E, Target, false, true> : DrawTextLine<E, Target, false, false>)(line, entry);
}

template <int E>
void DrawText(int line, uint32_t entry) {
    ((entry & SecondTargetFlag) ? DrawTextWithTarget<E, true> : DrawTextWithTarget<E, false>)(line, entry);
}

}  // namespace
}  // namespace Video

const BgRenderer TextBgRenderers[4] = {Video::DrawText<0>, Video::DrawText<1>, Video::DrawText<2>, Video::DrawText<3>};

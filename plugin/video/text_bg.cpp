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

constexpr uint32_t SecondTargetFlag = 1u << 27;

// One background pixel: palette index `index` (not 0) at screen x.
template <int E>
inline void PlotBg(const LineView& v, int x, uint32_t index, uint32_t windowBit, bool target) {
    if (!(v.mask[x] & windowBit)) return;
    uint32_t colour = Palette(index);
    v.row[x] = Shade<E>(colour, v.under[x]);
    if (target) v.under[x] = colour;
}

template <int E, bool Colour256, bool Mosaic>
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
    uint32_t windowBit = 1u << bg;
    bool target = entry & SecondTargetFlag;
    uint32_t run = Mosaic ? (mosaic & 15) : 0, counter = 0, held = 0;

    int x = -static_cast<int>(hofs & 7);
    for (int tileIndex = 0; tileIndex < 31; ++tileIndex, x += 8) {
        uint32_t map = Load16(mapRow + 2 * ((column & 31) + (column >= 32 ? 1024 : 0)));
        column = (column + 1) & columnMask;
        uint32_t row = (map & 0x800) ? 7 - tileRow : tileRow;
        int flip = (map & 0x400) ? 7 : 0;
        uint32_t tile = map & 1023;
        if constexpr (Colour256) {
            const uint8_t* data = chars + tile * 64 + row * 8;
            for (int k = 0; k < 8; ++k) {
                if constexpr (Mosaic) {
                    if (counter == 0) {
                        held = data[k ^ flip];
                        counter = run;
                    } else {
                        --counter;
                    }
                    if (held) PlotBg<E>(v, x + k, held, windowBit, target);
                } else {
                    uint32_t value = data[k ^ flip];
                    if (value) PlotBg<E>(v, x + k, value, windowBit, target);
                }
            }
        } else {
            uint32_t bits = Load32(chars + tile * 32 + row * 4);
            uint32_t bank = (map >> 12) * 16;
            if (!Mosaic && bits == 0) continue;
            for (int k = 0; k < 8; ++k) {
                uint32_t value = (bits >> (4 * (k ^ flip))) & 15;
                if constexpr (Mosaic) {
                    if (counter == 0) {
                        held = value ? bank + value : 0;
                        counter = run;
                    } else {
                        --counter;
                    }
                    if (held) PlotBg<E>(v, x + k, held, windowBit, target);
                } else {
                    if (value) PlotBg<E>(v, x + k, bank + value, windowBit, target);
                }
            }
        }
    }
}

template <int E>
void DrawText(int line, uint32_t entry) {
    bool colour256 = entry & 0x80, mosaic = entry & 0x40;
    if (colour256)
        (mosaic ? DrawTextLine<E, true, true> : DrawTextLine<E, true, false>)(line, entry);
    else
        (mosaic ? DrawTextLine<E, false, true> : DrawTextLine<E, false, false>)(line, entry);
}

}  // namespace
}  // namespace Video

const BgRenderer TextBgRenderers[4] = {Video::DrawText<0>, Video::DrawText<1>, Video::DrawText<2>,
                                       Video::DrawText<3>};

// affine_bg.cpp - backgrounds sampled through the rotation/scaling transform:
// the rotating tiled backgrounds BG2 and BG3 and the bitmaps of modes 3, 4, 5.
//
// Each renderer steps the texture coordinate by (PA, PC) per screen pixel from
// the reference point the scanline step keeps for the line. The stepping is
// done in unsigned arithmetic so that any register contents wrap instead of
// overflowing; coordinates are range-checked against the map or bitmap before
// any access, so every address stays inside VRAM.
#include <algorithm>

#include "layers.h"

namespace Video {
namespace {

constexpr uint32_t SecondTargetFlag = 1u << 27;

inline int32_t Coordinate(uint32_t fixed) { return static_cast<int32_t>(fixed) >> 8; }

inline int64_t FloorDivide(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Pixels i (within [first, last)) for which start + i * step stays in [0, limit),
// narrowed conservatively: one pixel of slack on each side, since the pixel
// loop still tests every coordinate. Leaves the span alone when the stepping
// could wrap around 32 bits (then the coordinate is not linear in i).
void NarrowToMap(int64_t start, int64_t step, int64_t limit, int& first, int& last) {
    int64_t end = start + step * (ScreenWidth - 1);
    if (start != static_cast<int32_t>(start) || end != static_cast<int32_t>(end)) return;
    int64_t low, high;  // the inside pixels satisfy low <= i <= high
    if (step == 0) {
        if (start >= 0 && start < limit) return;
        low = 1, high = 0;
    } else if (step > 0) {
        low = FloorDivide(-start, step);
        high = FloorDivide(limit - 1 - start, step);
    } else {
        low = FloorDivide(limit - 1 - start, step);
        high = FloorDivide(-start, step);
    }
    first = static_cast<int>(std::max<int64_t>(first, std::min<int64_t>(low, ScreenWidth)));
    last = static_cast<int>(std::min<int64_t>(last, std::max<int64_t>(high + 2, 0)));
}

// With wrap-around every coordinate lands inside the map, so the range test is
// left out of that version's pixel loop; without it, pixels outside are skipped.
template <int E, bool Mosaic, bool Wrap, bool Target>
void DrawAffineLine(int line, uint32_t entry) {
    const AffineBackground& a = Affine[(entry >> 28) & 1];
    uint32_t x = static_cast<uint32_t>(a.x), y = static_cast<uint32_t>(a.y);
    const uint32_t pa = static_cast<uint32_t>(a.pa), pc = static_cast<uint32_t>(a.pc);
    const uint32_t rowShift = ((entry >> 14) & 3) + 4;  // log2 of the map's width in tiles, plus 3
    const uint32_t size = 64u << (rowShift - 3);
    uint32_t mosaic = ReadIo(Reg::MOSAIC);
    const uint32_t mosaicX = (mosaic & 15) + 1, mosaicY = ((mosaic >> 4) & 15) + 1;

    const uint8_t* vram = VideoRam();
    const uint8_t* map = vram + ((entry >> 8) & 31) * 2048;
    const uint8_t* chars = vram + ((entry >> 2) & 3) * 16384;
    const uint8_t* palette = PaletteRam();
    const LineView v = ViewOfLine(line);
    const uint32_t windowBit = 4u << ((entry >> 28) & 1);

    // Without wrap-around only the pixels whose coordinates can lie inside the
    // map are walked; a small emblem on a wide screen then costs little.
    int first = 0, last = ScreenWidth;
    if constexpr (!Wrap) {
        NarrowToMap(a.x, a.pa, int64_t{size} << 8, first, last);
        NarrowToMap(a.y, a.pc, int64_t{size} << 8, first, last);
        x += pa * static_cast<uint32_t>(first);
        y += pc * static_cast<uint32_t>(first);
    }
    for (int i = first; i < last; ++i, x += pa, y += pc) {
        if (!(v.mask[i] & windowBit)) continue;
        uint32_t tx, ty;
        if constexpr (Wrap) {
            tx = static_cast<uint32_t>(Coordinate(x)) & (size - 1);
            ty = static_cast<uint32_t>(Coordinate(y)) & (size - 1);
        } else {
            // A negative coordinate becomes a large unsigned one and fails the test.
            tx = static_cast<uint32_t>(Coordinate(x));
            ty = static_cast<uint32_t>(Coordinate(y));
            if (tx >= size || ty >= size) continue;
        }
        if constexpr (Mosaic) {
            tx -= tx % mosaicX;
            ty -= ty % mosaicY;
        }
        uint32_t tile = map[((ty >> 3) << rowShift) + (tx >> 3)];
        uint32_t value = chars[tile * 64 + (ty & 7) * 8 + (tx & 7)];
        if (!value) continue;
        uint32_t colour = Load16(palette + 2 * value);
        v.row[i] = Shade<E>(colour, v.under[i]);
        if constexpr (Target) v.under[i] = colour;
    }
}

template <int E, bool Mosaic>
void DrawAffineWithMosaic(int line, uint32_t entry) {
    bool wrap = entry & 0x2000, target = entry & SecondTargetFlag;
    if (wrap)
        (target ? DrawAffineLine<E, Mosaic, true, true> : DrawAffineLine<E, Mosaic, true, false>)(line, entry);
    else
        (target ? DrawAffineLine<E, Mosaic, false, true> : DrawAffineLine<E, Mosaic, false, false>)(line, entry);
}

template <int E>
void DrawAffine(int line, uint32_t entry) {
    ((entry & 0x40) ? DrawAffineWithMosaic<E, true> : DrawAffineWithMosaic<E, false>)(line, entry);
}

// Bitmap geometry per mode: size in pixels and the screen column of bitmap column 0.
template <int Mode>
struct Bitmap {
    static constexpr int Width = Mode == 5 ? 160 : 240;
    static constexpr int Height = Mode == 5 ? 128 : 160;
    static constexpr int Left = Mode == 5 ? 40 : 0;
};

// Every in-range bitmap pixel is drawn: no transparent colour and no window test.
template <int E, int Mode>
void DrawBitmapLine(int line, const uint8_t* base) {
    using B = Bitmap<Mode>;
    if (Mode == 5 && (line < 16 || line >= 144)) return;
    uint32_t x = static_cast<uint32_t>(Affine[0].x), y = static_cast<uint32_t>(Affine[0].y);
    uint32_t pa = static_cast<uint32_t>(Affine[0].pa), pc = static_cast<uint32_t>(Affine[0].pc);
    bool mosaic = ReadIo(Reg::BG0CNT + 4) & 0x40;
    uint32_t mosaicReg = ReadIo(Reg::MOSAIC);
    int32_t mosaicX = (mosaicReg & 15) + 1, mosaicY = ((mosaicReg >> 4) & 15) + 1;
    bool target = ReadIo(Reg::BLDCNT) & 0x400;
    const LineView v = ViewOfLine(line);

    for (int i = 0; i < B::Width; ++i, x += pa, y += pc) {
        int32_t tx = Coordinate(x), ty = Coordinate(y);
        if (mosaic) {
            tx -= tx % mosaicX;
            ty -= ty % mosaicY;
        }
        if (tx < 0 || tx >= B::Width || ty < 0 || ty >= B::Height) continue;
        uint32_t pixel = static_cast<uint32_t>(ty * B::Width + tx);
        uint32_t colour = Mode == 4 ? Palette(base[pixel]) : Load16(base + 2 * pixel);
        int sx = B::Left + i;
        v.row[sx] = Shade<E>(colour, v.under[sx]);
        if (target) v.under[sx] = colour;
    }
}

}  // namespace
}  // namespace Video

const BgRenderer AffineBgRenderers[4] = {Video::DrawAffine<0>, Video::DrawAffine<1>, Video::DrawAffine<2>,
                                         Video::DrawAffine<3>};
// A first-target bitmap is never alpha blended: effect 1 draws it plain.
const BitmapRenderer Mode3Renderers[4] = {Video::DrawBitmapLine<0, 3>, Video::DrawBitmapLine<0, 3>,
                                          Video::DrawBitmapLine<2, 3>, Video::DrawBitmapLine<3, 3>};
const BitmapRenderer Mode4Renderers[4] = {Video::DrawBitmapLine<0, 4>, Video::DrawBitmapLine<0, 4>,
                                          Video::DrawBitmapLine<2, 4>, Video::DrawBitmapLine<3, 4>};
const BitmapRenderer Mode5Renderers[4] = {Video::DrawBitmapLine<0, 5>, Video::DrawBitmapLine<0, 5>,
                                          Video::DrawBitmapLine<2, 5>, Video::DrawBitmapLine<3, 5>};

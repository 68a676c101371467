// sprites.cpp - sprites (objects): selection per line, plain and affine
// drawing, semi-transparency and the sprite window.
//
// RenderLine first collects the sprites that cover the line, in drawing order
// (OAM entry 127 first, so that lower-numbered sprites end on top); the
// renderer of each priority level and the sprite-window pass then draw from
// that list. One routine walks and addresses a sprite's pixels; what happens
// to an opaque pixel is a "plot" policy (one per colour effect, one for
// semi-transparent sprites, one that finds the topmost pixel of each column,
// one that marks the window mask), so every version selects, clips, addresses
// and mirrors identically.
//
// Bounds: a sprite's x lies in -63..239 and its box is at most 128 pixels wide,
// so its pixels fall in screen x -63..366, inside the 130-column margins. Tile
// data addresses reach at most 0x10000 + 1023 x 32 + 7 x 1024 + 7 x 64 + 63
// (about 104 KB), inside the padded VRAM buffer; OAM and palette indexes are
// masked to their tables.
#include <algorithm>

#include "layers.h"

namespace Video {
namespace {

static_assert(0x10000 + 1023 * 32 + 7 * 1024 + 7 * 64 + 63 < VideoRamBufferSize);
static_assert(SurfaceLeft - 63 >= 0 && SurfaceLeft + 239 + 127 < SurfaceWidth);

// Width and height in tiles by shape (row) and size (column).
constexpr uint8_t TileWidth[4][4] = {{1, 2, 4, 8}, {2, 4, 4, 8}, {1, 1, 2, 4}, {1, 2, 4, 8}};
constexpr uint8_t TileHeight[4][4] = {{1, 2, 4, 8}, {1, 1, 2, 4}, {2, 4, 4, 8}, {1, 2, 4, 8}};

enum SpriteMode : uint32_t { Normal = 0, SemiTransparent = 1, WindowSprite = 2 };

constexpr uint32_t SpriteWindowBit = 0x10;

struct Sprite {
    int x, y;           // top left of the bounding box on screen
    int width, height;  // picture size in pixels
    int boxWidth, boxHeight;
    uint32_t attr0, attr1, attr2;
    uint32_t priority, mode;
};

// OAM decoded in drawing order (entry 127 first). Decoding is redone only
// when OAM's bytes differ from the copy taken at the last decode, so a line
// usually costs one comparison and a position test per entry.
struct {
    uint8_t oam[1024];
    Sprite sprites[128];
    const Sprite* drawable[128];  // the sprites that can show, in drawing order
    int drawableCount;
    bool valid;
} Decoded;

// The sprites covering the current line in drawing order, and how the
// current mode addresses their tiles.
struct {
    const Sprite* sprites[128];
    int count;
    const uint8_t* tiles;
    uint32_t tileMask;
    bool oneD;
} Line;

void DecodeOam(const uint8_t* oam) {
    std::memcpy(Decoded.oam, oam, sizeof Decoded.oam);
    Decoded.valid = true;
    Decoded.drawableCount = 0;
    for (int n = 127, k = 0; n >= 0; --n, ++k) {
        Sprite& s = Decoded.sprites[k];
        s.attr0 = Load16(oam + 8 * n);
        s.attr1 = Load16(oam + 8 * n + 2);
        s.attr2 = Load16(oam + 8 * n + 4);
        uint32_t kind = s.attr0 & 0x300;
        s.mode = (s.attr0 >> 10) & 3;
        uint32_t shape = s.attr0 >> 14, size = s.attr1 >> 14;
        s.width = TileWidth[shape][size] * 8;
        s.height = TileHeight[shape][size] * 8;
        bool doubleSize = kind == 0x300;
        s.boxWidth = doubleSize ? 2 * s.width : s.width;
        s.boxHeight = doubleSize ? 2 * s.height : s.height;
        // Positions above the limits are negative: y 193..255, x 449..511.
        s.y = static_cast<int>(s.attr0 & 0xFF);
        if (s.y > 192) s.y -= 256;
        s.x = static_cast<int>(s.attr1 & 0x1FF);
        if (s.x > 448) s.x -= 512;
        s.priority = (s.attr2 >> 10) & 3;
        if (kind != 0x200 && s.mode != 3 && s.x < ScreenWidth && s.x + s.boxWidth > 0)
            Decoded.drawable[Decoded.drawableCount++] = &s;
    }
}

// What a sprite pixel does on the surface, per effect, when sprites are a
// second target (each pixel then feeds the blends of the sprites above it, so
// every level is drawn back to front); the semi-transparent version blends
// in every effect mode. Bound to a pixel column with At, a plot is called
// with the offset k from there.
template <int E, bool Semi>
struct DrawPlot {
    static constexpr bool Windowed = true;
    uint16_t* row;
    uint16_t* under;
    const uint8_t* palette;
    Weights weights;
    DrawPlot At(int x) const { return {row + x, under + x, palette, weights}; }
    bool EightTaken() const { return false; }
    [[gnu::always_inline]] void operator()(int k, uint32_t value) const {
        uint32_t colour = Load16(palette + 2 * value);
        if constexpr (Semi)
            row[k] = ShadeSemi(colour, under[k], weights);
        else
            row[k] = Shade<E>(colour, under[k], weights);
        under[k] = colour;
    }
};

// When sprites are no second target, a sprite pixel's result depends only on
// its own colour and UnderLine, never on what lies below it, and every later
// layer overwrites it without reading it. So only the topmost opaque sprite
// pixel of a column, over all priority levels, can show: a first walk over
// the line's sprites, front to back, finds it (`TopPlot`, skipping columns
// already taken), and the pass of its priority level then colours it. The
// same picture as drawing every level back to front, without colouring
// hidden pixels.
//
// Top.level holds, per column, 1 << priority of the topmost pixel plus
// SemiTag for a semi-transparent sprite, 0 where no sprite pixel lies;
// Top.colour its raw colour; visible columns [from[p], to[p]) hold every
// sprite of priority p. Valid for the line once `ready`.
constexpr uint8_t SemiTag = 0x10;
struct {
    uint16_t colour[SurfaceWidth];
    uint8_t level[SurfaceWidth + 8];
    int from[4], to[4];
    bool ready;
} Top;

// Columns already taken by a sprite in the current front-to-back walk: a
// column is taken when it holds the walk's stamp (1..255), so the array is
// cleared only when the stamp wraps.
uint8_t Covered[SurfaceWidth + 8];
uint8_t CoverStamp;

uint8_t NextCoverStamp() {
    if (++CoverStamp == 0) {
        std::memset(Covered, 0, sizeof Covered);
        CoverStamp = 1;
    }
    return CoverStamp;
}

struct TopPlot {
    static constexpr bool Windowed = true;
    uint16_t* colour;
    uint8_t* level;
    uint8_t* covered;
    uint8_t stamp, tag;
    const uint8_t* palette;
    TopPlot At(int x) const { return {colour + x, level + x, covered + x, stamp, tag, palette}; }
    // True when the eight columns from here are all taken by sprites in front.
    bool EightTaken() const {
        uint64_t bytes;
        std::memcpy(&bytes, covered, 8);
        return bytes == stamp * 0x0101010101010101ull;
    }
    [[gnu::always_inline]] void operator()(int k, uint32_t value) const {
        if (covered[k] == stamp) return;
        covered[k] = stamp;
        colour[k] = static_cast<uint16_t>(Load16(palette + 2 * value));
        level[k] = tag;
    }
};

// The sprite-window pass: marks the mask, whatever the windows say.
struct WindowPlot {
    static constexpr bool Windowed = false;
    uint8_t* mask;
    uint8_t value;
    WindowPlot At(int x) const { return {mask + x, value}; }
    bool EightTaken() const { return false; }
    [[gnu::always_inline]] void operator()(int k, uint32_t) const { mask[k] = value; }
};

uint32_t TileNumber(const Sprite& s, bool colour256) {
    uint32_t mask = Line.tileMask;
    if (colour256 && !Line.oneD) mask &= ~1u;
    return s.attr2 & mask;
}

// Bytes between the starts of two tile rows of the sprite.
uint32_t RowStride(const Sprite& s, bool colour256) {
    return Line.oneD ? static_cast<uint32_t>(s.width / 8) * (colour256 ? 64 : 32) : 1024;
}

// Non-affine sprite: eight pixels per tile row fetch, one loop per colour depth and flip.
template <class Plot, bool Colour256, bool HFlip>
void DrawPlainRow(const Sprite& s, int line, const Plot& sharedPlot) {
    // A private copy: the pixel stores cannot change it, so it stays in registers.
    const Plot plot = sharedPlot;
    constexpr int TileBytes = Colour256 ? 64 : 32;
    int r = line - s.y;
    if (s.attr1 & 0x2000) r = s.height - 1 - r;
    int tiles = s.width / 8;
    const uint8_t* data =
        Line.tiles + TileNumber(s, Colour256) * 32 + (r & 7) * (Colour256 ? 8 : 4) + (r >> 3) * RowStride(s, Colour256);
    int step = TileBytes;
    if constexpr (HFlip) {
        data += (tiles - 1) * TileBytes;
        step = -TileBytes;
    }
    const uint8_t* mask = WindowMask + SurfaceLeft;
    for (int t = 0, x = s.x; t < tiles; ++t, x += 8, data += step) {
        // Tiles wholly in the margins cannot show: skip them.
        if (x >= ScreenWidth) break;
        if (x <= -8) continue;
        const Plot tilePlot = plot.At(x);
        if (tilePlot.EightTaken()) continue;
        auto draw = [&](bool opaque, auto value) {
            if constexpr (Plot::Windowed) {
                DrawEight(mask + x, SpriteWindowBit, opaque, value, tilePlot);
            } else {
#pragma GCC unroll 8
                for (int k = 0; k < 8; ++k)
                    if (uint32_t v = value(k)) tilePlot(k, v);
            }
        };
        if constexpr (Colour256) {
            draw(AllBytesSet(data), [&](int k) -> uint32_t { return data[HFlip ? 7 - k : k]; });
        } else {
            uint32_t bits = Load32(data);
            if (!bits) continue;
            draw(AllNibblesSet(bits), [&](int k) -> uint32_t { return (bits >> (4 * (HFlip ? 7 - k : k))) & 15; });
        }
    }
}

// Affine sprite: the texture point steps by (PA, PC) per pixel from the box's
// centre; points outside the picture are transparent.
template <class Plot, bool Colour256>
void DrawAffineRow(const Sprite& s, int line, const Plot& plot) {
    const uint8_t* group = ObjectRam() + ((s.attr1 >> 9) & 31) * 32 + 6;
    int32_t pa = static_cast<int16_t>(Load16(group)), pb = static_cast<int16_t>(Load16(group + 8));
    int32_t pc = static_cast<int16_t>(Load16(group + 16)), pd = static_cast<int16_t>(Load16(group + 24));
    int rel = line - s.y - s.boxHeight / 2;
    int32_t u = pb * rel - (s.boxWidth * pa) / 2, v = pd * rel - (s.boxWidth * pc) / 2;
    bool mosaic = s.attr0 & 0x1000;
    uint32_t mosaicReg = ReadIo(Reg::MOSAIC);
    int mosaicX = ((mosaicReg >> 8) & 15) + 1, mosaicY = ((mosaicReg >> 12) & 15) + 1;
    const uint8_t* tiles = Line.tiles + TileNumber(s, Colour256) * 32;
    uint32_t stride = RowStride(s, Colour256);
    const Plot boxPlot = plot.At(s.x);
    const uint8_t* mask = WindowMask + SurfaceLeft + s.x;

    for (int i = 0; i < s.boxWidth; ++i, u += pa, v += pc) {
        int tx = s.width / 2 + (u >> 8), ty = s.height / 2 + (v >> 8);
        if (tx < 0 || tx >= s.width || ty < 0 || ty >= s.height) continue;
        if (mosaic) {
            tx -= tx % mosaicX;
            ty -= ty % mosaicY;
        }
        const uint8_t* row = tiles + (ty >> 3) * stride;
        uint32_t value;
        if constexpr (Colour256) {
            value = row[(tx >> 3) * 64 + (ty & 7) * 8 + (tx & 7)];
        } else {
            uint32_t pair = row[(tx >> 3) * 32 + (ty & 7) * 4 + (tx & 7) / 2];
            value = (tx & 1) ? pair >> 4 : pair & 15;
        }
        if (value && (!Plot::Windowed || (mask[i] & SpriteWindowBit))) boxPlot(i, value);
    }
}

template <class Plot>
void DrawSprite(const Sprite& s, int line, const Plot& plot) {
    bool colour256 = s.attr0 & 0x2000;
    if (s.attr0 & 0x100) {
        (colour256 ? DrawAffineRow<Plot, true> : DrawAffineRow<Plot, false>)(s, line, plot);
    } else if (colour256) {
        ((s.attr1 & 0x1000) ? DrawPlainRow<Plot, true, true> : DrawPlainRow<Plot, true, false>)(s, line, plot);
    } else {
        ((s.attr1 & 0x1000) ? DrawPlainRow<Plot, false, true> : DrawPlainRow<Plot, false, false>)(s, line, plot);
    }
}

const uint8_t* SpriteColours(const Sprite& s) {
    const uint8_t* palette = PaletteRam() + 512;
    return (s.attr0 & 0x2000) ? palette : palette + (s.attr2 >> 12) * 32;
}

// Sprites as a second target: the level's sprites back to front.
template <int E>
void DrawTargetSprites(int line, int priority) {
    const LineView v = ViewOfLine(line);
    const Weights weights = CurrentWeights<E>(), blendWeights = CurrentWeights<Blend>();
    for (int i = 0; i < Line.count; ++i) {
        const Sprite& s = *Line.sprites[i];
        if (s.priority != static_cast<uint32_t>(priority) || s.mode == WindowSprite) continue;
        if (s.mode == SemiTransparent)
            DrawSprite(s, line, DrawPlot<0, true>{v.row, v.under, SpriteColours(s), blendWeights});
        else
            DrawSprite(s, line, DrawPlot<E, false>{v.row, v.under, SpriteColours(s), weights});
    }
}

// Fills Top for the line: every level's sprites, front to back.
void FindTopSprites(int line) {
    for (int priority = 0; priority < 4; ++priority) {
        Top.from[priority] = ScreenWidth;
        Top.to[priority] = 0;
    }
    int from = ScreenWidth, to = 0;
    for (int i = 0; i < Line.count; ++i) {
        const Sprite& s = *Line.sprites[i];
        if (s.mode == WindowSprite) continue;
        int left = std::max(s.x, 0), right = std::min(s.x + s.boxWidth, ScreenWidth);
        Top.from[s.priority] = std::min(Top.from[s.priority], left);
        Top.to[s.priority] = std::max(Top.to[s.priority], right);
        from = std::min(from, left);
        to = std::max(to, right);
    }
    // Clears the whole eight-column groups that DrawTopSprites reads.
    if (from < to) std::memset(Top.level + SurfaceLeft + (from & ~7), 0, ((to + 7) & ~7) - (from & ~7));
    uint8_t stamp = NextCoverStamp();
    for (uint32_t priority = 0; priority < 4; ++priority) {
        if (Top.from[priority] >= Top.to[priority]) continue;
        for (int i = Line.count - 1; i >= 0; --i) {
            const Sprite& s = *Line.sprites[i];
            if (s.priority != priority || s.mode == WindowSprite) continue;
            uint8_t tag = static_cast<uint8_t>((1u << priority) | (s.mode == SemiTransparent ? SemiTag : 0));
            DrawSprite(s, line,
                       TopPlot{Top.colour + SurfaceLeft, Top.level + SurfaceLeft, Covered + SurfaceLeft, stamp, tag,
                               SpriteColours(s)});
        }
    }
    Top.ready = true;
}

// Sprites as no second target: colours the visible columns whose topmost
// sprite pixel is of this level.
template <int E>
void DrawTopSprites(int line, int priority) {
    if (!Top.ready) FindTopSprites(line);
    const LineView v = ViewOfLine(line);
    const Weights weights = CurrentWeights<E>(), blendWeights = CurrentWeights<Blend>();
    const uint8_t* level = Top.level + SurfaceLeft;
    const uint16_t* colours = Top.colour + SurfaceLeft;
    priority &= 3;
    const uint32_t bit = 1u << priority;
    const uint64_t anyOfLevel = bit * 0x0101010101010101ull;
    for (int x = Top.from[priority] & ~7; x < Top.to[priority]; x += 8) {
        uint64_t bytes;
        std::memcpy(&bytes, level + x, 8);
        if (!(bytes & anyOfLevel)) continue;
        for (int k = x; k < x + 8; ++k) {
            uint32_t tag = level[k];
            if (!(tag & bit)) continue;
            if (tag & SemiTag)
                v.row[k] = ShadeSemi(colours[k], v.under[k], blendWeights);
            else
                v.row[k] = Shade<E>(colours[k], v.under[k], weights);
        }
    }
}

template <int E>
void DrawSprites(int line, int priority) {
    bool target = ReadIo(Reg::BLDCNT) & 0x1000;
    (target ? DrawTargetSprites<E> : DrawTopSprites<E>)(line, priority);
}

}  // namespace

void CollectSprites(int line) {
    uint32_t dispcnt = ReadIo(Reg::DISPCNT);
    bool bitmapMode = (dispcnt & 7) > 2;
    Line.tiles = VideoRam() + (bitmapMode ? 0x14000 : 0x10000);
    Line.tileMask = bitmapMode ? 511 : 1023;
    Line.oneD = dispcnt & 0x40;
    const uint8_t* oam = ObjectRam();
    if (!Decoded.valid || std::memcmp(oam, Decoded.oam, sizeof Decoded.oam)) DecodeOam(oam);
    Line.count = 0;
    Top.ready = false;
    for (int k = 0; k < Decoded.drawableCount; ++k) {
        const Sprite* s = Decoded.drawable[k];
        if (static_cast<unsigned>(line - s->y) < static_cast<unsigned>(s->boxHeight)) Line.sprites[Line.count++] = s;
    }
}

}  // namespace Video

void SpriteWindowPass(int line) {
    using namespace Video;
    WindowPlot plot{WindowMask + SurfaceLeft, static_cast<uint8_t>(ReadIo(Reg::WINOUT) >> 8)};
    for (int n = 0; n < Line.count; ++n)
        if (Line.sprites[n]->mode == WindowSprite) DrawSprite(*Line.sprites[n], line, plot);
}

const SpriteRenderer SpriteRenderers[4] = {Video::DrawSprites<0>, Video::DrawSprites<1>, Video::DrawSprites<2>,
                                           Video::DrawSprites<3>};

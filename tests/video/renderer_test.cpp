// renderer_test.cpp - the line driver: colour tables, background order, window
// mask, backdrop, layer interleaving and colour effects, checked pixel by pixel.
#include "video/renderer.h"

#include <algorithm>
#include <random>

#include "machine/io.h"
#include "video_support.h"

namespace {

constexpr uint32_t Io = 0x04000000, Bg = 0x05000000, Obj = 0x05000200, Vram = 0x06000000, Oam = 0x07000000;

// A solid 16-colour tile `tile` at character base 0 with colour index `value`.
void SolidTile(uint32_t tile, uint32_t value) {
    for (uint32_t i = 0; i < 32; i += 2) ScenePoke16(Vram + tile * 32 + i, value * 0x1111);
}
// Fills text map block `block` with tile `tile`.
void FillMap(uint32_t block, uint32_t tile) {
    for (uint32_t i = 0; i < 2048; i += 2) ScenePoke16(Vram + block * 2048 + i, tile);
}
// A solid 8 x 8 16-colour sprite `n` at (x, y) using sprite tile `tile`.
void SolidSprite(uint32_t n, int x, int y, uint32_t tile, uint32_t value, uint32_t priority) {
    for (uint32_t i = 0; i < 32; i += 2) ScenePoke16(Vram + 0x10000 + tile * 32 + i, value * 0x1111);
    ScenePoke16(Oam + 8 * n, static_cast<uint32_t>(y) & 0xFF);
    ScenePoke16(Oam + 8 * n + 2, static_cast<uint32_t>(x) & 0x1FF);
    ScenePoke16(Oam + 8 * n + 4, tile | priority << 10);
}
void HideAllSprites() {
    for (uint32_t n = 0; n < 128; ++n) ScenePoke16(Oam + 8 * n, 0x200);
}

uint16_t Display(uint32_t colour) { return ColourTable[colour]; }

using ColourTables = VideoTest;

TEST_F(ColourTables, ConvertToRgb565) {
    EXPECT_EQ(ColourTable[0x7FFF], 0xFFFF);
    EXPECT_EQ(ColourTable[0x03E0], 0x07E0);
    EXPECT_EQ(ColourTable[0x001F], 0xF800);
    EXPECT_EQ(ColourTable[0x7C00], 0x001F);
    EXPECT_EQ(ColourTable[16 << 5], 32 << 5) << "green 16 widens to 32";
    EXPECT_EQ(ColourTable[1 << 5], 2 << 5) << "green 1 widens to 2";
    EXPECT_EQ(ColourTable[0x8000 | 0x001F], 0xF800) << "bit 15 is ignored";
}

TEST_F(ColourTables, SpreadFormRoundTripsAndSaturates) {
    for (uint32_t c : {0u, 0x1234u, 0x7FFFu, 0x5A5Au}) EXPECT_EQ(Unspread(SpreadTable[c] * 16), c);
    EXPECT_EQ(Unspread(SpreadTable[0x7FFF] * 16 + SpreadTable[0x7FFF] * 16), 0x7FFFu);
    // Red overflows alone; green and blue keep their sums.
    EXPECT_EQ(Unspread(SpreadTable[0x001F] * 16 + SpreadTable[0x0010 | 2 << 5 | 3 << 10] * 16),
              31u | 2u << 5 | 3u << 10);
    EXPECT_EQ(Unspread(SpreadTable[8 | 8 << 5 | 8 << 10] * 8), 4u | 4u << 5 | 4u << 10) << "halves truncate";
}

using BackgroundOrder = VideoTest;

// Reference order: by priority, then background number, both from 3 down to 0.
std::vector<uint32_t> SortedOrder(const uint32_t priority[4]) {
    std::vector<uint32_t> bgs = {0, 1, 2, 3};
    std::sort(bgs.begin(), bgs.end(),
              [&](uint32_t a, uint32_t b) { return priority[a] != priority[b] ? priority[a] > priority[b] : a > b; });
    return bgs;
}

TEST_F(BackgroundOrder, StaysSortedByPriorityThenNumberThroughAnyWrites) {
    std::mt19937 random(7);
    uint32_t priority[4] = {0, 0, 0, 0};
    for (int k = 0; k < 4; ++k) EXPECT_EQ((BgOrder[k] >> 28) & 3, 3u - k);
    for (int step = 0; step < 2000; ++step) {
        uint32_t bg = random() % 4, value = random() & 0xFFFF;
        UpdateBgOrder(static_cast<int>(bg), value);
        priority[bg] = value & 3;
        std::vector<uint32_t> expected = SortedOrder(priority);
        for (int k = 0; k < 4; ++k) {
            ASSERT_EQ((BgOrder[k] >> 28) & 3, expected[k]) << "step " << step << " position " << k;
            ASSERT_EQ(BgOrder[k] >> 30, priority[expected[k]]);
        }
        uint32_t entry = *std::find_if(BgOrder, BgOrder + 4, [&](uint32_t e) { return ((e >> 28) & 3) == bg; });
        ASSERT_EQ(entry & 0xFFFF, value) << "the entry carries the control value";
    }
}

TEST_F(BackgroundOrder, SamePriorityWriteUpdatesInPlace) {
    UpdateBgOrder(1, 2);
    UpdateBgOrder(1, 2 | 0x1F00);
    EXPECT_EQ(BgOrder[0], 2u | 0x1F00 | 1u << 28 | 2u << 30);
    EXPECT_EQ((BgOrder[1] >> 28) & 3, 3u);
}

class WindowMaskTest : public VideoTest {
protected:
    void SetUp() override {
        VideoTest::SetUp();
        ScenePoke16(Io + 0x48, 0x2211);  // WININ: window 0 0x11, window 1 0x22
        ScenePoke16(Io + 0x4A, 0x4433);  // WINOUT: outside 0x33, sprite window 0x44
    }
    void Windows(uint32_t dispcnt, uint32_t win0h, uint32_t win1h, uint32_t win0v = 160, uint32_t win1v = 160) {
        ScenePoke16(Io + 0x40, win0h);
        ScenePoke16(Io + 0x42, win1h);
        ScenePoke16(Io + 0x44, win0v);
        ScenePoke16(Io + 0x46, win1v);
        ScenePoke16(Io, dispcnt);
    }
    // The control byte at each screen x as runs "value:from-to".
    std::string Runs(int line) {
        RenderLine(line);
        std::string out;
        for (int x = 0; x < ScreenWidth;) {
            int end = x;
            uint8_t v = WindowMask[SurfaceLeft + x];
            while (end < ScreenWidth && WindowMask[SurfaceLeft + end] == v) ++end;
            char text[32];
            std::snprintf(text, sizeof text, "%s%02X:%d-%d", out.empty() ? "" : " ", v, x, end);
            out += text;
            x = end;
        }
        return out;
    }
};

TEST_F(WindowMaskTest, NoWindowLetsEverythingDraw) {
    Windows(0, 10 << 8 | 20, 0);
    EXPECT_EQ(Runs(5), "FF:0-240");
}

TEST_F(WindowMaskTest, SingleWindowsAndTheirVerticalRange) {
    Windows(0x2000, 10 << 8 | 20, 0, 5 << 8 | 9);
    EXPECT_EQ(Runs(4), "33:0-240") << "above the window";
    EXPECT_EQ(Runs(5), "33:0-10 11:10-20 33:20-240");
    EXPECT_EQ(Runs(9), "33:0-240") << "bottom edge excluded";
    Windows(0x4000, 0, 100 << 8 | 250);
    EXPECT_EQ(Runs(0), "33:0-100 22:100-240") << "edges clamp to the screen";
}

TEST_F(WindowMaskTest, OverlappingWindowsLetWindowZeroWin) {
    Windows(0x6000, 40 << 8 | 140, 100 << 8 | 200);
    EXPECT_EQ(Runs(0), "33:0-40 11:40-140 22:140-200 33:200-240");
    Windows(0x6000, 50 << 8 | 60, 20 << 8 | 100);
    EXPECT_EQ(Runs(0), "33:0-20 22:20-50 11:50-60 22:60-100 33:100-240");
}

TEST_F(WindowMaskTest, DisjointWindowsLeaveTheGapOutside) {
    Windows(0x6000, 20 << 8 | 80, 150 << 8 | 200);
    EXPECT_EQ(Runs(0), "33:0-20 11:20-80 33:80-150 22:150-200 33:200-240");
    Windows(0x6000, 150 << 8 | 200, 20 << 8 | 80);
    EXPECT_EQ(Runs(0), "33:0-20 22:20-80 33:80-150 11:150-200 33:200-240");
}

TEST_F(WindowMaskTest, WindowOneReachingTheRightEdgeKeepsItsColumns) {
    Windows(0x6000, 20 << 8 | 80, 150 << 8 | 240);
    EXPECT_EQ(Runs(0), "33:0-20 11:20-80 33:80-150 22:150-240");
    Windows(0x6000, 20 << 8 | 80, 60 << 8 | 240);
    EXPECT_EQ(Runs(0), "33:0-20 11:20-80 22:80-240");
}

TEST_F(WindowMaskTest, ReversedEdgesGiveNoWindow) {
    Windows(0x2000, 200 << 8 | 100, 0);
    EXPECT_EQ(Runs(0), "33:0-240");
    Windows(0x2000, 10 << 8 | 20, 0, 100 << 8 | 50);
    EXPECT_EQ(Runs(60), "33:0-240") << "no vertical wrap either";
}

TEST_F(WindowMaskTest, SpriteWindowOverridesWindowsUnderOpaquePixels) {
    HideAllSprites();
    SolidSprite(0, 16, 0, 1, 1, 0);
    ScenePoke16(Oam, 2 << 10);                 // sprite window mode
    ScenePoke16(Vram + 0x10000 + 32, 0x0110);  // row 0: pixels 1 and 2 opaque only
    ScenePoke16(Vram + 0x10000 + 34, 0);
    Windows(0xA000, 10 << 8 | 20, 0);
    EXPECT_EQ(Runs(0), "33:0-10 11:10-17 44:17-19 11:19-20 33:20-240");
}

class Layers : public VideoTest {
protected:
    void SetUp() override {
        VideoTest::SetUp();
        HideAllSprites();
        ScenePoke16(Io, 0);
        ScenePoke16(Bg, 0x0421);  // backdrop
        for (uint32_t i = 1; i < 16; ++i) ScenePoke16(Bg + 2 * i, i * 0x842);
        for (uint32_t i = 1; i < 16; ++i) ScenePoke16(Obj + 2 * i, 0x7C00 | i);
        SolidTile(1, 1);
        SolidTile(2, 2);
        FillMap(8, 1);
        FillMap(9, 2);
    }
};

TEST_F(Layers, ForcedBlankShowsWhiteAndDrawsNothing) {
    ScenePoke16(Io + 0x08, 8 << 8);
    ScenePoke16(Io, 0x0180);
    RenderLine(3);
    for (int x = 0; x < ScreenWidth; ++x) ASSERT_EQ(SurfacePixel(x, 3), 0xFFFF);
}

TEST_F(Layers, BackdropBrightensAndDarkensAsFirstTarget) {
    ScenePoke16(Io + 0x54, 16);
    ScenePoke16(Io + 0x50, 0xA0);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), 0xFFFF);
    ScenePoke16(Io + 0x50, 0xE0);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(239, 0), 0x0000);
    ScenePoke16(Io + 0x50, 0x60);  // blend: the backdrop is never blended
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(5, 0), Display(0x0421));
    ScenePoke16(Io + 0x50, 0x2000);
    RenderLine(0);
    EXPECT_EQ(UnderLine[SurfaceLeft + 100], 0x0421) << "second-target backdrop";
}

TEST_F(Layers, EqualPrioritiesPutLowerNumbersAndThenSpritesOnTop) {
    ScenePoke16(Io + 0x08, 1 | 8 << 8);
    ScenePoke16(Io + 0x0A, 1 | 9 << 8);
    ScenePoke16(Io, 0x0300);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(0x842)) << "BG0 above BG1";
    SolidSprite(0, 0, 0, 1, 3, 1);
    SolidSprite(1, 8, 0, 2, 4, 2);
    ScenePoke16(Io, 0x1300);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(0x7C03)) << "sprite of equal priority above both";
    EXPECT_EQ(SurfacePixel(8, 0), Display(0x842)) << "sprite of lower priority below";
}

TEST_F(Layers, LowerNumberedSpriteEndsOnTop) {
    SolidSprite(5, 0, 0, 1, 3, 0);
    SolidSprite(0, 4, 0, 2, 4, 0);
    ScenePoke16(Io, 0x1000);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(3, 0), Display(0x7C03));
    EXPECT_EQ(SurfacePixel(4, 0), Display(0x7C04));
    ScenePoke16(Oam + 8 * 0, 0x200);  // hidden
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(4, 0), Display(0x7C03));
}

TEST_F(Layers, SpritePlacementWrapsOnlyAboveTheLimits) {
    // 64 x 64 square sprite of solid tiles, 2-D mapping (row stride 32 tiles).
    for (uint32_t row = 0; row < 8; ++row)
        for (uint32_t t = 0; t < 8; ++t) SolidTile(0x10000 / 32 + row * 32 + t, t + 1);
    ScenePoke16(Oam, 200);                // y = -56: rows 56..63 on lines 0..7
    ScenePoke16(Oam + 2, 470 | 3 << 14);  // x = -42: columns 42..63 at the left edge
    ScenePoke16(Oam + 4, 0);
    ScenePoke16(Io, 0x1000);
    RenderLine(7);
    EXPECT_EQ(SurfacePixel(0, 7), Display(0x7C06)) << "column 42 is in tile 5";
    EXPECT_EQ(SurfacePixel(21, 7), Display(0x7C08));
    EXPECT_EQ(SurfacePixel(22, 7), Display(0x0421));
    RenderLine(8);
    EXPECT_EQ(SurfacePixel(0, 8), Display(0x0421));
    ScenePoke16(Oam, 180);  // y = 180 is below the screen, not wrapped
    ScenePoke16(Oam + 2, 0 | 3 << 14);
    for (int line = 0; line < 64; ++line) {
        RenderLine(line);
        ASSERT_EQ(SurfacePixel(0, line), Display(0x0421)) << line;
    }
}

TEST_F(Layers, BitmapModeSpriteTilesStartAtTile512) {
    SolidSprite(0, 0, 0, 512, 5, 0);
    ScenePoke16(Io, 0x1003);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(0x7C05));
    ScenePoke16(Oam + 4, 0);  // tile 0 in a bitmap mode: the same bytes
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(0x7C05));
}

TEST_F(Layers, ModesSixAndSevenShowOnlyTheBackdrop) {
    SolidSprite(0, 0, 0, 1, 3, 0);
    for (uint32_t mode : {6u, 7u}) {
        ScenePoke16(Io + 0x08, 8 << 8);
        ScenePoke16(Io, 0x1F00 | mode);
        RenderLine(0);
        EXPECT_EQ(SurfacePixel(0, 0), Display(0x0421));
    }
}

TEST_F(Layers, ModeFiveDrawsOnlyItsCentredRectangle) {
    for (uint32_t i = 0; i < 160 * 128 * 2; i += 2) ScenePoke16(Vram + i, 0x1234);
    ScenePoke32(Io + 0x2C, static_cast<uint32_t>(-16 * 256));  // line 16 shows bitmap row 0
    ScenePoke16(Io, 0x0405);
    std::vector<uint16_t> frame = RenderFrame();
    auto at = [&](int x, int y) { return frame[y * ScreenWidth + x]; };
    EXPECT_EQ(at(40, 16), Display(0x1234));
    EXPECT_EQ(at(199, 143), Display(0x1234));
    EXPECT_EQ(at(39, 16), Display(0x0421));
    EXPECT_EQ(at(200, 16), Display(0x0421));
    EXPECT_EQ(at(100, 15), Display(0x0421));
    EXPECT_EQ(at(100, 144), Display(0x0421));
}

TEST_F(Layers, RotatingBackgroundWrapsOnlyWhenAsked) {
    // 128 x 128 map of tile 1 (8-bit pixels, colour 3).
    for (uint32_t i = 0; i < 64; i += 2) ScenePoke16(Vram + 64 + i, 0x0303);
    for (uint32_t i = 0; i < 256; i += 2) ScenePoke16(Vram + 8 * 2048 + i, 0x0101);
    ScenePoke32(Io + 0x28, static_cast<uint32_t>(-8 * 256));
    ScenePoke16(Io + 0x0C, 8 << 8);
    ScenePoke16(Io, 0x0402);
    RenderFrame();
    EXPECT_EQ(SurfacePixel(7, 0), Display(0x0421)) << "negative x, no wrap";
    EXPECT_EQ(SurfacePixel(8, 0), Display(3 * 0x842));
    EXPECT_EQ(SurfacePixel(135, 0), Display(3 * 0x842));
    EXPECT_EQ(SurfacePixel(136, 0), Display(0x0421)) << "beyond the map";
    ScenePoke16(Io + 0x0C, 8 << 8 | 0x2000);
    RenderFrame();
    EXPECT_EQ(SurfacePixel(7, 0), Display(3 * 0x842));
    EXPECT_EQ(SurfacePixel(136, 0), Display(3 * 0x842));
}

TEST_F(Layers, RotatingBackgroundWithoutWrapDrawsExactlyThePixelsInsideItsMap) {
    for (uint32_t i = 0; i < 64; i += 2) ScenePoke16(Vram + 64 + i, 0x0303);
    for (uint32_t i = 0; i < 256; i += 2) ScenePoke16(Vram + 8 * 2048 + i, 0x0101);
    ScenePoke16(Io + 0x0C, 8 << 8);
    ScenePoke16(Io, 0x0402);
    std::mt19937 rng(77);
    for (int round = 0; round < 300; ++round) {
        int32_t x0 = static_cast<int32_t>(rng() % 0x30000) - 0x10000, y0 = static_cast<int32_t>(rng() % 0x30000) - 0x10000;
        int32_t pa = static_cast<int32_t>(rng() % 0x1000) - 0x800, pc = static_cast<int32_t>(rng() % 0x1000) - 0x800;
        if (round % 5 == 0) pa = 0;
        if (round % 7 == 0) pc = 0;
        ScenePoke16(Io + 0x20, static_cast<uint32_t>(pa) & 0xFFFF);
        ScenePoke16(Io + 0x24, static_cast<uint32_t>(pc) & 0xFFFF);
        ScenePoke32(Io + 0x28, static_cast<uint32_t>(x0) & 0x0FFFFFFF);
        ScenePoke32(Io + 0x2C, static_cast<uint32_t>(y0) & 0x0FFFFFFF);
        RenderFrame();
        for (int i = 0; i < 240; ++i) {
            int64_t tx = (int64_t{x0} + int64_t{i} * pa) >> 8, ty = (int64_t{y0} + int64_t{i} * pc) >> 8;
            bool inside = tx >= 0 && tx < 128 && ty >= 0 && ty < 128;
            ASSERT_EQ(SurfacePixel(i, 0), Display(inside ? 3 * 0x842 : 0x0421))
                << "round " << round << " x " << i << " from " << x0 << "," << y0 << " step " << pa << "," << pc;
        }
    }
}

class Effects : public Layers {};

TEST_F(Effects, FirstTargetBlendsWithUnderLineEvenWhenNothingIsBelow) {
    ScenePoke16(Bg + 2, 0x7FFF);
    ScenePoke16(Io + 0x08, 8 << 8);
    ScenePoke16(Io + 0x50, 0x01 | 1 << 6);
    ScenePoke16(Io + 0x52, 8 | 16 << 8);
    ScenePoke16(Io, 0x0100);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(15 | 15 << 5 | 15 << 10)) << "no second target: darkened by EVA/16";
    ScenePoke16(Io + 0x50, 0x01 | 1 << 6 | 0x2000);  // the backdrop becomes a second target
    ScenePoke16(Io + 0x52, 16 | 16 << 8);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(0x7FFF)) << "sum saturates";
}

TEST_F(Effects, UnderLineSurvivesLayersThatAreNoSecondTarget) {
    // BG1 (second target) at the back, BG2 (no target) over it, BG0 (first target) on top.
    ScenePoke16(Bg + 2, 0x001F);
    ScenePoke16(Bg + 4, 0x03E0);
    SolidTile(3, 3);
    FillMap(10, 3);
    ScenePoke16(Bg + 6, 0x7C00);
    ScenePoke16(Io + 0x08, 0 | 8 << 8);
    ScenePoke16(Io + 0x0A, 2 | 9 << 8);
    ScenePoke16(Io + 0x0C, 1 | 10 << 8);
    ScenePoke16(Io + 0x50, 0x01 | 1 << 6 | 0x02 << 8);
    ScenePoke16(Io + 0x52, 16 | 16 << 8);
    ScenePoke16(Io, 0x0700);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(0x001F | 0x03E0)) << "BG0 blended with BG1, not BG2";
}

TEST_F(Effects, BrightenAndDarkenReachWhiteAndBlack) {
    ScenePoke16(Bg + 2, 0x1234);
    ScenePoke16(Io + 0x08, 8 << 8);
    ScenePoke16(Io + 0x54, 16);
    ScenePoke16(Io, 0x0100);
    ScenePoke16(Io + 0x50, 0x01 | 2 << 6);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), 0xFFFF);
    ScenePoke16(Io + 0x50, 0x01 | 3 << 6);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), 0x0000);
    ScenePoke16(Io + 0x54, 8);
    ScenePoke16(Io + 0x50, 0x01 | 2 << 6);
    RenderLine(0);
    uint32_t r = 0x14, g = 0x11, b = 0x04;  // 0x1234 = b 4, g 17, r 20
    EXPECT_EQ(SurfacePixel(0, 0), Display((r + (31 - r) / 2) | (g + (31 - g) / 2) << 5 | (b + (31 - b) / 2) << 10));
}

TEST_F(Effects, SemiTransparentSpriteBlendsOnlyOverASecondTarget) {
    SolidSprite(0, 0, 0, 1, 1, 0);
    ScenePoke16(Oam, 1 << 10);
    ScenePoke16(Obj + 2, 0x001F);
    ScenePoke16(Io + 0x52, 8 | 8 << 8);
    ScenePoke16(Io + 0x50, 3 << 6);  // darken selected, sprites no first target
    ScenePoke16(Io, 0x1000);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(0x001F)) << "backdrop is no second target: plain";
    ScenePoke16(Bg, 0x7C00);
    ScenePoke16(Io + 0x50, 3 << 6 | 0x2000);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(15 | 15 << 10)) << "blended, never darkened";
}

// Sprites of every level over a second-target BG1 (priority 2) that is
// transparent from x = 32 on; sprites blend (EVA = EVB = 8).
TEST_F(Effects, EachColumnShowsItsTopmostSpriteBlendedWithWhatLiesBelowIt) {
    ScenePoke16(Bg + 6, 0x03E0);
    SolidTile(3, 3);
    FillMap(9, 3);
    for (uint32_t column = 4; column < 32; ++column) ScenePoke16(Vram + 9 * 2048 + 2 * column, 0);
    ScenePoke16(Io + 0x0A, 2 | 9 << 8);
    ScenePoke16(Obj + 2, 0x001F);
    ScenePoke16(Obj + 4, 0x7C00);
    ScenePoke16(Obj + 6, 0x7FFF);
    HideAllSprites();
    SolidSprite(0, 0, 0, 1, 1, 1);   // red over BG1
    SolidSprite(1, 0, 0, 2, 2, 3);   // hidden by sprite 0 and BG1
    SolidSprite(2, 32, 0, 3, 2, 3);  // blue over nothing
    SolidSprite(3, 40, 0, 4, 1, 0);  // semi-transparent red over sprite 4
    SolidSprite(4, 40, 0, 5, 2, 2);
    SolidSprite(5, 8, 0, 6, 3, 0);  // semi-transparent white over sprite 6
    SolidSprite(6, 8, 0, 7, 2, 2);
    SolidSprite(7, 16, 0, 8, 1, 3);  // below BG1
    ScenePoke16(Oam + 8 * 3, 1 << 10);
    ScenePoke16(Oam + 8 * 5, 1 << 10);
    ScenePoke16(Io + 0x52, 8 | 8 << 8);
    ScenePoke16(Io + 0x50, 0x10 | 1 << 6 | 0x02 << 8);
    ScenePoke16(Io, 0x1200);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(15 | 15 << 5)) << "red with BG1's green";
    EXPECT_EQ(SurfacePixel(8, 0), Display(15 | 31 << 5 | 15 << 10)) << "semi white with BG1's green";
    EXPECT_EQ(SurfacePixel(16, 0), Display(0x03E0)) << "BG1 above the priority-3 sprite";
    EXPECT_EQ(SurfacePixel(32, 0), Display(15 << 10)) << "blue with nothing below";
    EXPECT_EQ(SurfacePixel(40, 0), Display(0x001F)) << "semi red: no second target below";

    // Sprites as second target too: every level is drawn, and the one above
    // blends with the sprite below.
    ScenePoke16(Io + 0x50, 0x10 | 1 << 6 | 0x12 << 8);
    RenderLine(0);
    EXPECT_EQ(SurfacePixel(0, 0), Display(15 | 15 << 5));
    EXPECT_EQ(SurfacePixel(8, 0), Display(15 | 15 << 5 | 31 << 10)) << "semi white with sprite 6's blue";
    EXPECT_EQ(SurfacePixel(40, 0), Display(15 | 15 << 10)) << "semi red with sprite 4's blue";
}

TEST_F(Effects, SecondTargetStoresTheRawColourNotTheResult) {
    ScenePoke16(Bg + 2, 0x1234);
    ScenePoke16(Io + 0x08, 8 << 8);
    ScenePoke16(Io + 0x54, 16);
    ScenePoke16(Io + 0x50, 0x01 | 2 << 6 | 0x01 << 8);
    ScenePoke16(Io, 0x0100);
    RenderLine(0);
    EXPECT_EQ(UnderLine[SurfaceLeft + 10], 0x1234);
}

}  // namespace

// robustness_test.cpp - the renderer stays inside its buffers whatever video
// memory and registers hold (run under the sanitizer build to catch stray
// accesses; neighbouring surface rows are checked here directly).
#include <algorithm>
#include <random>

#include "machine/io.h"
#include "machine/memory.h"
#include "video/renderer.h"
#include "video_support.h"

namespace {

class RandomVideoState : public VideoTest {
protected:
    std::mt19937 random{20261207};

    uint32_t Next() { return static_cast<uint32_t>(random()); }

    void RandomRegisters() {
        for (uint32_t offset = 0; offset < 0x56; offset += 2) ScenePoke16(0x04000000 + offset, Next());
        // Mostly not in forced blank, so that the layers are drawn.
        if (Next() % 8) ScenePoke16(0x04000000, ReadIo(0) & ~0x80u);
        for (AffineBackground& a : Affine) {
            a.x = static_cast<int32_t>(Next());
            a.y = static_cast<int32_t>(Next());
            if (Next() % 2) a.pa = static_cast<int32_t>(Next());
            if (Next() % 2) a.pc = static_cast<int32_t>(Next());
        }
        if (Next() % 4 == 0) {
            BlendEva = static_cast<int32_t>(Next());
            BlendEvy = static_cast<int32_t>(Next());
        }
    }

    void RandomMemory() {
        for (uint32_t i = 0; i < VideoRamSize; i += 4) Store32(VideoRam() + i, Next());
        for (uint32_t i = 0; i < 1024; i += 4) Store32(PaletteRam() + i, Next());
        for (uint32_t i = 0; i < 1024; i += 4) Store32(ObjectRam() + i, Next());
    }
};

TEST_F(RandomVideoState, ThousandsOfLinesStayInsideTheirRows) {
    constexpr uint16_t Guard = 0xBEEF;
    for (int frame = 0; frame < 150; ++frame) {
        if (frame % 10 == 0) RandomMemory();
        RandomRegisters();
        for (int line = 0; line < ScreenHeight; ++line) {
            // Random sprite attributes and scroll values change between lines.
            Store16(ObjectRam() + (Next() & 0x3FE), Next());
            ScenePoke16(0x04000000 + 0x10 + (Next() & 0xE), Next());
            uint16_t* row = FrameSurface + line * SurfaceWidth;
            if (line > 0) std::fill_n(row - SurfaceWidth, SurfaceWidth, Guard);
            if (line < ScreenHeight - 1) std::fill_n(row + SurfaceWidth, SurfaceWidth, Guard);
            RenderLine(line);
            for (int x = 0; x < SurfaceWidth; ++x) {
                if (line > 0) {
                    ASSERT_EQ(row[x - SurfaceWidth], Guard) << "frame " << frame << " line " << line;
                }
                if (line < ScreenHeight - 1) {
                    ASSERT_EQ(row[x + SurfaceWidth], Guard) << "frame " << frame << " line " << line;
                }
            }
        }
    }
}

TEST_F(RandomVideoState, HighestTileAddressesReadThePaddingAsTransparent) {
    // Text background with character base 3: tile 1023 (256 colours) lies past
    // the 96 KB of VRAM; the padding reads as transparent pixels.
    for (uint32_t i = 0; i < 2048; i += 2) ScenePoke16(0x06000000 + 31 * 2048 + i, 1023);
    ScenePoke16(0x05000000, 0x0421);
    ScenePoke16(0x04000008, 3 << 2 | 0x80 | 31 << 8);
    ScenePoke16(0x04000000, 0x0100);
    RenderLine(0);
    for (int x = 0; x < ScreenWidth; ++x) ASSERT_EQ(SurfacePixel(x, 0), ColourTable[0x0421]);
}

}  // namespace

namespace {

// Sprites that are no second target are drawn front to back, skipping covered
// columns; as second targets they are drawn back to front. With no colour
// effect both must give the same picture, whatever the overlaps.
TEST_F(RandomVideoState, SpriteDrawingOrderDoesNotChangeThePicture) {
    RandomMemory();
    for (uint32_t n = 0; n < 128; ++n) {
        uint32_t attr0 = Load16(ObjectRam() + 8 * n) & ~0x0C00u & ~0x0100u;  // normal mode, not affine
        Store16(ObjectRam() + 8 * n, attr0);
    }
    ScenePoke16(0x04000000, 0x1040);
    ScenePoke16(0x04000050, 0);
    std::vector<uint16_t> frontToBack = RenderFrame();
    ScenePoke16(0x04000050, 0x1000);
    std::vector<uint16_t> backToFront = RenderFrame();
    EXPECT_EQ(frontToBack, backToFront);
    EXPECT_NE(std::count(frontToBack.begin(), frontToBack.end(), frontToBack[0]), ScreenWidth * ScreenHeight)
        << "the picture holds sprites";

    // Overlapping affine sprites (identity transform, 32 x 32, double-size box).
    for (uint32_t n = 0; n < 128; ++n) Store16(ObjectRam() + 8 * n, 0x200);
    for (uint32_t g = 0; g < 4; ++g) {
        for (uint32_t k = 0; k < 4; ++k) Store16(ObjectRam() + 32 * g + 8 * k + 6, k % 3 ? 0 : 0x100);
    }
    for (uint32_t n = 0; n < 6; ++n) {
        Store16(ObjectRam() + 8 * n, (20 + 9 * n) | 0x300);
        Store16(ObjectRam() + 8 * n + 2, (30 + 11 * n) | (n % 4) << 9 | 2 << 14);
        Store16(ObjectRam() + 8 * n + 4, 16 * n | n << 12);
    }
    ScenePoke16(0x04000050, 0);
    frontToBack = RenderFrame();
    ScenePoke16(0x04000050, 0x1000);
    EXPECT_EQ(frontToBack, RenderFrame()) << "affine sprites";
}

}  // namespace

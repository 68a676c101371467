// surface_test.cpp - surface memory and surfaces read from files and resources.
#include "lumaret/surface.h"

#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>

#include "lumaret/wince.h"
#include "lumaret_test_app.h"
#include "test_support.h"

namespace {

using Lumaret::GDI::Surface;

std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

uint16_t PixelAt(Lumaret::Surface& surface, int x, int y) {
    const uint16_t value = surface.Lock()[y * surface.GetPitch() / 2 + x];
    surface.Unlock();
    return value;
}

// The skins' hit-map colours and the RGB565 values the colour rule gives them.
struct HitColour {
    QRgb rgb;
    uint16_t rgb565;
};
constexpr HitColour kColours[] = {{0xFF9900, 0xFCC0}, {0x005934, 0x02C6}, {0xFD40FF, 0xFA1F},
                                  {0x99BF26, 0x9DE4}, {0x475911, 0x42C2}, {0xFFFFFF, 0xFFFF}};

// Writes a one-row image of kColours in `format` and reads it back as a surface.
std::unique_ptr<Surface> ThroughFile(const TempDir& dir, const char* format) {
    QImage image(std::size(kColours), 1, QImage::Format_RGB32);
    for (size_t i = 0; i < std::size(kColours); ++i) image.setPixel(static_cast<int>(i), 0, kColours[i].rgb);
    const std::string path = dir.File(std::string("colours.") + format);
    EXPECT_TRUE(image.save(QString::fromStdString(path), format));
    return std::unique_ptr<Surface>(Surface::CreateFromFile(Wide(path).c_str()));
}

class SurfaceTest : public ::testing::Test {
protected:
    SurfaceTest() { TestApp(); }
    TempDir dir;
};

TEST_F(SurfaceTest, FrameSurfaceHasRowsOf500PixelsAndStableMemory) {
    std::unique_ptr<Lumaret::Surface> surface(Lumaret::WinCE::CreateSurface(500, 160, 16));
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->GetWidth(), 500);
    EXPECT_EQ(surface->GetHeight(), 160);
    EXPECT_EQ(surface->GetBytesPerPixel(), 2);
    EXPECT_EQ(surface->GetPitch(), 1000);
    uint16_t* pixels = surface->Lock();
    surface->Unlock();
    for (int i = 0; i < 500 * 160; ++i) ASSERT_EQ(pixels[i], 0) << i;
    pixels[500 * 160 - 1] = 0x1234;  // the last pixel is writable
    EXPECT_EQ(surface->Lock(), pixels);
    surface->Unlock();
    EXPECT_EQ(PixelAt(*surface, 499, 159), 0x1234);
}

TEST_F(SurfaceTest, OddWidthsKeepRowsWordAligned) {
    std::unique_ptr<Lumaret::Surface> surface(Lumaret::WinCE::CreateSurface(3, 2, 16));
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->GetPitch(), 8);
}

TEST_F(SurfaceTest, OnlySixteenBitSurfacesOfSensibleSizeAreMade) {
    EXPECT_EQ(Lumaret::WinCE::CreateSurface(240, 160, 8), nullptr);
    EXPECT_EQ(Lumaret::WinCE::CreateSurface(240, 160, 32), nullptr);
    EXPECT_EQ(Lumaret::WinCE::CreateSurface(0, 160, 16), nullptr);
    EXPECT_EQ(Lumaret::WinCE::CreateSurface(240, -1, 16), nullptr);
    EXPECT_EQ(Lumaret::WinCE::CreateSurface(Surface::kMaxSide + 1, 1, 16), nullptr);
    std::unique_ptr<Lumaret::Surface> largest(Lumaret::WinCE::CreateSurface(Surface::kMaxSide, 1, 16));
    EXPECT_TRUE(largest);
}

TEST_F(SurfaceTest, BitmapColoursAreTruncatedToRgb565) {
    auto surface = ThroughFile(dir, "BMP");
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->GetWidth(), static_cast<int>(std::size(kColours)));
    EXPECT_EQ(surface->GetHeight(), 1);
    for (size_t i = 0; i < std::size(kColours); ++i)
        EXPECT_EQ(PixelAt(*surface, static_cast<int>(i), 0), kColours[i].rgb565) << std::hex << kColours[i].rgb;
}

TEST_F(SurfaceTest, PngColoursAreTruncatedToRgb565) {
    auto surface = ThroughFile(dir, "PNG");
    ASSERT_TRUE(surface);
    for (size_t i = 0; i < std::size(kColours); ++i)
        EXPECT_EQ(PixelAt(*surface, static_cast<int>(i), 0), kColours[i].rgb565) << std::hex << kColours[i].rgb;
}

TEST_F(SurfaceTest, ResourceImageIsFoundByNumberAndName) {
    for (auto* loaded : {Surface::CreateFromResource(nullptr, 166), Surface::CreateFromResource(nullptr, L"166")}) {
        std::unique_ptr<Surface> surface(loaded);
        ASSERT_TRUE(surface);
        EXPECT_EQ(surface->GetWidth(), 4);
        EXPECT_EQ(surface->GetHeight(), 2);
        EXPECT_EQ(PixelAt(*surface, 0, 0), 0xFCC0);  // rows stay top-down
        EXPECT_EQ(PixelAt(*surface, 0, 1), 0x42C2);
        EXPECT_EQ(PixelAt(*surface, 3, 1), Lumaret::Rgb565FromRgb888(0x123456));
    }
    EXPECT_EQ(Surface::CreateFromResource(nullptr, 167), nullptr);
    EXPECT_EQ(Surface::CreateFromResource(nullptr, L""), nullptr);
    EXPECT_EQ(Surface::CreateFromResource(nullptr, static_cast<const wchar_t*>(nullptr)), nullptr);
}

TEST_F(SurfaceTest, UnreadableFilesGiveNoSurface) {
    EXPECT_EQ(Surface::CreateFromFile(Wide(dir.File("missing.bmp")).c_str()), nullptr);
    EXPECT_EQ(Surface::CreateFromFile(nullptr), nullptr);
    EXPECT_EQ(Surface::CreateFromFile(L""), nullptr);

    WriteFileBytes(dir.File("empty.bmp"), {});
    EXPECT_EQ(Surface::CreateFromFile(Wide(dir.File("empty.bmp")).c_str()), nullptr);

    WriteFileBytes(dir.File("noise.png"), {0x13, 0x37, 0x00, 0xFF, 0x42, 0x42, 0x42});
    EXPECT_EQ(Surface::CreateFromFile(Wide(dir.File("noise.png")).c_str()), nullptr);

    // A good PNG cut short in its pixel data.
    ASSERT_TRUE(ThroughFile(dir, "PNG"));
    std::vector<uint8_t> png = ReadFileBytes(dir.File("colours.PNG"));
    png.resize(png.size() / 2);
    WriteFileBytes(dir.File("cut.png"), png);
    EXPECT_EQ(Surface::CreateFromFile(Wide(dir.File("cut.png")).c_str()), nullptr);
}

TEST_F(SurfaceTest, BitmapClaimingHugeSizeIsRefusedBeforeDecoding) {
    // A bitmap header promising 100000 x 100000 pixels with only a few bytes behind it.
    std::vector<uint8_t> bmp = ReadFileBytes(TAMBORIL_SOURCE_DIR "/tests/lumaret/pad.bmp");
    ASSERT_GE(bmp.size(), 26u);
    for (int field : {18, 22}) {
        const uint32_t side = 100000;
        for (int i = 0; i < 4; ++i) bmp[field + i] = static_cast<uint8_t>(side >> (8 * i));
    }
    WriteFileBytes(dir.File("huge.bmp"), bmp);
    EXPECT_EQ(Surface::CreateFromFile(Wide(dir.File("huge.bmp")).c_str()), nullptr);
}

}  // namespace

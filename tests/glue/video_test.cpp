// video_test.cpp - the video output: the colour tables it builds, the frame
// it shows again, and the runs it refuses without a surface fit for the renderer.
#include <memory>

#include "gba_video.h"
#include "lumaret/surface.h"
#include "lumaret/window.h"
#include "machine/scanline.h"
#include "machine_fixture.h"
#include "reference_image.h"
#include "video/renderer.h"

namespace {

using GbaVideoTest = MachineFixture;

// Replaces the surface maker for one test.
class SurfaceMakerScope {
public:
    explicit SurfaceMakerScope(GbaVideo::SurfaceMaker maker) : saved_(GbaVideo::SurfaceHook()) {
        GbaVideo::SurfaceHook() = maker;
    }
    ~SurfaceMakerScope() { GbaVideo::SurfaceHook() = saved_; }

private:
    GbaVideo::SurfaceMaker saved_;
};

// A surface of the right size whose rows are further apart than the renderer writes them.
class PaddedSurface : public Lumaret::Surface {
public:
    int GetWidth() override { return SurfaceWidth; }
    int GetHeight() override { return SurfaceHeight; }
    int GetBytesPerPixel() override { return 2; }
    int GetPitch() override { return 1024; }
    uint16_t* Lock() override { return pixels_.get(); }
    void Unlock() override {}

private:
    std::unique_ptr<uint16_t[]> pixels_ = std::make_unique<uint16_t[]>(512 * SurfaceHeight);
};

TEST_F(GbaVideoTest, ColourTableHoldsTheDisplaysRgb565) {
    ASSERT_TRUE(Start(CopyDemo()));
    EXPECT_EQ(ColourTable[0x7FFF], 0xFFFF);
    EXPECT_EQ(ColourTable[0x03E0], 0x07E0) << "green 31";
    EXPECT_EQ(ColourTable[0x001F], 0xF800) << "red 31 is the display's top field";
    EXPECT_EQ(ColourTable[16 << 5], 32 << 5) << "green 16 widens to 32";
    EXPECT_EQ(ColourTable[1 << 5], 2 << 5) << "green 1 widens to 2";
    EXPECT_EQ(ColourTable[0xFFFF], 0xFFFF) << "bit 15 changes nothing";
    EXPECT_EQ(SpreadTable[0x7FFF], 0x1F07C1Fu);
}

TEST_F(GbaVideoTest, RunWithoutASurfaceIsRefused) {
    for (GbaVideo::SurfaceMaker maker : {+[](int, int, int) -> Lumaret::Surface* { return nullptr; },
                                         +[](int, int, int) -> Lumaret::Surface* { return new PaddedSurface; }}) {
        SurfaceMakerScope scope(maker);
        messages.clear();
        EXPECT_FALSE(Start(CopyDemo()));
        EXPECT_EQ(messages, std::vector<std::string>{"GBA: Unable to create emulator video surface."});
        EXPECT_EQ(FrameSurface, nullptr);
        EXPECT_EQ(machine->GetVideo()->GetSurface(), nullptr);
        EXPECT_TRUE(StopRequest) << "the emulator stopped";
        EXPECT_FALSE(machine->Execute()) << "the renderer never runs without a surface";
        engine->SetRunning(true);
        machine->GetVideo()->Redraw();
        engine->SetRunning(false);
    }
}

TEST_F(GbaVideoTest, RedrawShowsTheLastFrameAgain) {
    ASSERT_TRUE(Start(CopyDemo()));
    RunFrames(10);
    engine->GetWindow()->Refresh();  // the window forgets what it showed
    engine->SetRunning(true);
    machine->GetVideo()->Redraw();
    engine->SetRunning(false);
    ExpectMatchesReferenceImage(std::string(TAMBORIL_SOURCE_DIR) + "/tests/tools/reference/demo_frame10.png",
                                ShownFrame(machine->GetVideo()->GetRenderRectangle()).data());
}

TEST_F(GbaVideoTest, StopReleasesTheSurface) {
    ASSERT_TRUE(Start(CopyDemo()));
    ASSERT_NE(FrameSurface, nullptr);
    machine->Stop();
    EXPECT_EQ(FrameSurface, nullptr);
    EXPECT_EQ(machine->GetVideo()->GetSurface(), nullptr);
}

}  // namespace

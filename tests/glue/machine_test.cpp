// machine_test.cpp - the machine object: running in frames, nothing running
// without a machine, state-file names and a failed save.
#include <filesystem>

#include "machine/io.h"
#include "machine_fixture.h"
#include "reference_image.h"
#include "video/renderer.h"

namespace {

namespace fs = std::filesystem;

using GbaMachineTest = MachineFixture;

TEST_F(GbaMachineTest, ExecuteStopsAtEveryFrameBoundaryAndContinuesTheSameRun) {
    ASSERT_TRUE(Start(CopyDemo()));
    for (int frame = 0; frame < 10; ++frame) {
        EXPECT_FALSE(machine->Execute());
        EXPECT_EQ(ReadIo(Reg::VCOUNT), 160u) << "frame " << frame;
        EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 1, 0u) << "stopped as line 160 begins";
    }
    // The headless runner's reviewed picture of the tenth frame: a run cut
    // into frames is the same run.
    ExpectMatchesReferenceImage(std::string(TAMBORIL_SOURCE_DIR) + "/tests/tools/reference/demo_frame10.png",
                                SurfacePicture().data());
}

TEST_F(GbaMachineTest, NothingRunsBeforeAStartOrAfterAStop) {
    EXPECT_FALSE(machine->Execute());
    ASSERT_TRUE(Start(CopyDemo()));
    machine->Stop();
    EXPECT_FALSE(machine->Execute());
    EXPECT_EQ(FrameSurface, nullptr);
}

TEST_F(GbaMachineTest, OnlyADotInTheFileNameStartsAnExtension) {
    ASSERT_TRUE(Start(CopyDemo("x.gba/game")));
    RunFrames(1);
    ASSERT_TRUE(machine->SaveState());
    EXPECT_TRUE(fs::exists(files.File("x.gba/game.STA")));
    EXPECT_FALSE(fs::exists(files.File("x.STA")));
}

TEST_F(GbaMachineTest, SaveStateWithoutAFileFailsWithoutPausing) {
    EXPECT_FALSE(machine->SaveState());
    EXPECT_FALSE(engine->IsPaused());
    EXPECT_FALSE(machine->CheckState());
}

TEST_F(GbaMachineTest, FailedSaveKeepsTheEarlierStateAndSaysSo) {
    // The name leaves no room for the writer's temporary file beside it.
    const std::string name(246, 'a');
    ASSERT_TRUE(Start(CopyDemo(name + ".gba")));
    const std::string state = files.File(name + ".STA");
    WriteFileBytes(state, {'e', 'a', 'r', 'l', 'i', 'e', 'r'});
    RunFrames(1);
    EXPECT_FALSE(machine->SaveState());
    EXPECT_EQ(ReadFileBytes(state), (std::vector<uint8_t>{'e', 'a', 'r', 'l', 'i', 'e', 'r'}));
    EXPECT_NE(engine->GetConsole().Find(L"Saving the state to " + CString::FromUtf8(state) + L"...FAILED"), -1)
        << engine->GetConsole().ToUtf8();
    EXPECT_TRUE(machine->HasState()) << "the earlier state file is still there";
}

}  // namespace

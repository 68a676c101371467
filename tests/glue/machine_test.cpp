// machine_test.cpp - the machine object: which files it takes, running in
// frames, stopping once, state files beside the image and failed loads.
#include <unistd.h>

#include <filesystem>

#include "engine/error_text.h"
#include "machine/io.h"
#include "machine_fixture.h"
#include "platform/structured_exception.h"
#include "reference_image.h"
#include "video/renderer.h"

namespace {

namespace fs = std::filesystem;

using GbaMachineTest = MachineFixture;

TEST_F(GbaMachineTest, TakesNamesContainingGbaInAnyCase) {
    engine->PrintConsole(L"earlier text");
    EXPECT_FALSE(Start(files.File("game.gb")));
    EXPECT_EQ(engine->GetConsole(), CString(L"earlier text")) << "a refused file changes nothing";
    EXPECT_TRUE(Start(CopyDemo("GAME.GBA")));
    EXPECT_NE(engine->GetConsole().Find(L"GAME.GBA"), -1) << "the loader's lines replace the console";
}

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

TEST_F(GbaMachineTest, SecondStopShutsNothingDownAgain) {
    const std::string demo = CopyDemo();
    ASSERT_TRUE(Start(demo));
    RunFrames(5);  // the demo counts its boot in battery RAM
    machine->Stop();
    const std::string battery = files.File("demo.sav");
    ASSERT_TRUE(fs::exists(battery));
    fs::remove(battery);
    machine->Stop();
    EXPECT_FALSE(fs::exists(battery));
}

TEST_F(GbaMachineTest, StateIsSavedAndLoadedBesideTheImage) {
    ASSERT_TRUE(Start(CopyDemo()));
    EXPECT_FALSE(machine->HasState());
    RunFrames(10);
    ASSERT_TRUE(machine->SaveState());
    EXPECT_TRUE(machine->HasState());
    EXPECT_TRUE(fs::exists(files.File("demo.STA")));
    RunFrames(20);
    const std::vector<uint16_t> later = SurfacePicture();

    ASSERT_TRUE(machine->LoadState());
    RunFrames(20);
    EXPECT_EQ(SurfacePicture(), later) << "the loaded state continues as the saved run did";

    machine->Stop();
    EXPECT_FALSE(machine->HasState());
    ASSERT_TRUE(Start(CopyDemo()));
    EXPECT_TRUE(machine->HasState()) << "a state file found at start";
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

TEST_F(GbaMachineTest, LongUtf8PathsAreCarriedWhole) {
    std::string relative;
    for (int level = 0; level < 6; ++level) relative += std::string(90, 'd') + "\xC3\xA9/";  // "é"
    relative += "d\xC3\xA9mo.gba";
    const std::string demo = CopyDemo(relative);
    ASSERT_GT(demo.size(), 512u);
    ASSERT_TRUE(Start(demo)) << engine->GetConsole().ToUtf8();
    RunFrames(5);
    ASSERT_TRUE(machine->SaveState());
    machine->Stop();
    const std::string stem = demo.substr(0, demo.size() - 4);
    EXPECT_TRUE(fs::exists(stem + ".STA"));
    EXPECT_TRUE(fs::exists(stem + ".sav"));
}

TEST_F(GbaMachineTest, MissingOrDamagedImagesRaiseTheLoadError) {
    const std::string damaged = CopyDemo("damaged.gba");
    std::vector<uint8_t> image = ReadFileBytes(damaged);
    image[0xBD] ^= 0xFF;
    WriteFileBytes(damaged, image);
    for (const std::string& path : {files.File("missing.gba"), damaged}) {
        messages.clear();
        try {
            Start(path);
            ADD_FAILURE() << path << " was accepted";
        } catch (const StructuredException& e) {
            EXPECT_EQ(e.Code(), 0x6001u);
            EXPECT_EQ(EmuError(e.Code()), 1u);
            EXPECT_NE(CString(EmuErrorString(e.Code())).Find(L"unable to load the ROM"), -1);
        }
        EXPECT_EQ(messages, std::vector<std::string>{"Loading failed!"}) << path;
        machine->Stop();
    }
}

}  // namespace

// programs_test.cpp - whole pictures drawn by running cartridges on the machine:
// our scene programs against the same reviewed images as the host-side scenes,
// and public test cartridges and games against reviewed screenshots.
#include "headless.h"
#include "video/renderer.h"
#include "video_support.h"

namespace {

// Runs a cartridge for `frames` frames and compares the last shown frame.
void ExpectPicture(const std::string& path, int frames, const std::string& reference) {
    BootProgram(path);
    Headless::RunFrames(frames);
    ExpectMatchesReference(reference, Headless::LastFrame());
    Headless::StopMachine();
}

class ScenePrograms : public ::testing::TestWithParam<const char*> {};

// The programs fill video memory with halfword stores, which takes some frames.
TEST_P(ScenePrograms, DrawTheirReviewedPicture) {
    std::string name = std::string("video_") + GetParam();
    ExpectPicture(ProgramPath(name), 120, name);
}

INSTANTIATE_TEST_SUITE_P(Video, ScenePrograms,
                         ::testing::Values("text", "mosaic", "affine", "mode3", "mode4", "mode5", "sprites",
                                           "affine_sprites", "windows_overlap", "windows_disjoint", "blend", "brighten",
                                           "darken"));

TEST(PublicCartridges, PictureTestsShowTheirPictures) {
    for (const char* name : {"hello", "shades", "stripes"}) {
        REQUIRE_SHARED_ROM(path, std::string("gba-tests/ppu/") + name + ".gba");
        ExpectPicture(path, 60, std::string("external_") + name);
    }
}

TEST(PublicCartridges, ResultScreensAreDrawn) {
    REQUIRE_SHARED_ROM(arm, "gba-tests/arm/arm.gba");
    ExpectPicture(arm, 60, "external_arm_failed_164");
    for (const char* name : {"arm", "thumb", "memory", "nes"}) {
        REQUIRE_SHARED_ROM(path, std::string("gba-tests-intended/") + name + ".gba");
        ExpectPicture(path, 60, "external_all_tests_passed");
    }
}

TEST(PublicCartridges, GamesShowTheirTitleScreens) {
    REQUIRE_SHARED_ROM(minicraft, "homebrew/minicraft.gba");
    ExpectPicture(minicraft, 400, "external_minicraft_title");
    REQUIRE_SHARED_ROM(ucity, "homebrew/ucity-advance.gba");
    ExpectPicture(ucity, 400, "external_ucity_title");
}

// Compiled Thumb code that loads through its own pointer ("ldmia r1!, {r1, r2}")
// stops on the engine's error screen unless the loaded base is kept. Start
// leaves the title, A pages through the instructions into the first level.
TEST(PublicCartridges, ButanoFighterReachesPlay) {
    REQUIRE_SHARED_ROM(path, "homebrew/butano-fighter.gba");
    std::string script = "600:Start,606:-";
    for (int frame = 700; frame <= 1500; frame += 100) {
        script += "," + std::to_string(frame) + ":A," + std::to_string(frame + 6) + ":-";
    }
    Headless::KeyScript keys;
    std::string error;
    ASSERT_TRUE(keys.Parse(script, error)) << error;
    BootProgram(path);
    Headless::SetKeyScript(&keys);
    Headless::RunFrames(1600);
    Headless::SetKeyScript(nullptr);
    ExpectMatchesReference("external_butano_fighter_play", Headless::LastFrame());
    Headless::StopMachine();
}

}  // namespace

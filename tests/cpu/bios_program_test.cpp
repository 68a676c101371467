// bios_program_test.cpp - console programs that make BIOS calls the way games
// do, run headless with no BIOS image.
#include "bios_fixture.h"
#include "headless.h"

namespace {

TEST(BiosProgram, WaitsHaltDivisionAndUnpackingFromArmAndThumb) {
    BootProgram(ProgramPath("bios_calls"));
    Headless::RunFrames(20);
    EXPECT_EQ(Cpu.r[11], 0x600Du) << "the program did not finish";
    EXPECT_EQ(Cpu.r[12], 0u) << "number of the first failed check";
}

TEST(BiosProgram, SoftResetFromThumbRestartsTheCartridgeInArmState) {
    BootProgram(ProgramPath("bios_soft_reset"));
    Headless::RunFrames(2);
    EXPECT_EQ(Cpu.r[11], 0x600Du) << "the program did not finish";
    EXPECT_EQ(Cpu.r[12], 0u) << "number of the first failed check";
}

}  // namespace

// arm_program_test.cpp - whole ARM programs: the project's own console program and
// the public ARM test cartridge, run headless until they reach their idle loop.
#include <gtest/gtest.h>

#include "cpu/cpu.h"
#include "headless.h"
#include "test_support.h"

namespace {

// Runs a cartridge for `frames` frames and returns R12, its result register.
uint32_t ResultAfterFrames(const std::string& path, int frames) {
    BootProgram(path);
    Headless::RunFrames(frames);
    return Cpu.r[12];
}

TEST(ArmPrograms, ModesBanksAndExceptionReturns) {
    EXPECT_EQ(ResultAfterFrames(ProgramPath("arm_modes"), 2), 0u);
    EXPECT_EQ(Cpu.r[11], 0xC0DEu) << "the program reached its end";
}

// The public cartridge stops at test 164 on this system: ROR by a register holding 32
// keeps the value and clears carry here.
TEST(ArmPrograms, PublicArmCartridgeStopsAtRotateByThirtyTwo) {
    REQUIRE_SHARED_ROM(path, "gba-tests/arm/arm.gba");
    EXPECT_EQ(ResultAfterFrames(path, 30), 164u);
}

TEST(ArmPrograms, PublicArmCartridgeWithIntendedDifferencesSkippedPasses) {
    REQUIRE_SHARED_ROM(path, "gba-tests-intended/arm.gba");
    EXPECT_EQ(ResultAfterFrames(path, 30), 0u);
}

}  // namespace

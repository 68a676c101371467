// runner_test.cpp - tamboril-run's command line and exit status: options out of
// range, missing or swallowed values, "--", and failures with their reasons.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        game = dir.File("game.gba");
        std::filesystem::copy_file(ProgramPath("save_battery"), game);  // writes its battery file
    }
    TempDir dir;
    std::string game;
};

// Each bad command line is a usage error naming the option and what it takes.
TEST_F(Runner, BadOptionsAreUsageErrorsNamingTheOptionAndRange) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"--frames 4294967301", "--frames needs a frame count from 0 to 2147483647, not 4294967301"},
        {"--frames -1", "--frames needs a frame count from 0 to 2147483647, not -1"},
        {"--frameskip 0", "--frameskip needs a frame count from 1 to 2147483647, not 0"},
        {"--rate 192001", "--rate needs a sample rate in Hz from 1000 to 192000, not 192001"},
        {"--load-state ''", "--load-state needs a file name"},
        {"--save-state ''", "--save-state needs a file name"},
        {"--save-state --frames 5", "--save-state needs a file name, not the option --frames"},
        {"--keys 2147483648:A", "bad key script for --keys: bad frame number \"2147483648\" (0 to 2147483647)"},
        {"--bogus", "unknown option --bogus"},
    };
    for (const Case& c : cases) {
        RunnerResult run = RunRunner(c.arguments + " " + game);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.output.find("tamboril-run: " + c.message), std::string::npos) << c.arguments << run.output;
    }
    RunnerResult itself = RunRunner("--save-state " + game + " " + game);
    EXPECT_EQ(itself.status, 2);
    EXPECT_NE(itself.output.find("--save-state " + game + " is the cartridge itself"), std::string::npos);
    RunnerResult last = RunRunner(game + " --frames");
    EXPECT_EQ(last.status, 2);
    EXPECT_NE(last.output.find("--frames needs a frame count from 0 to 2147483647\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("game.sav"))) << "no run happened";
}

TEST_F(Runner, DoubleDashEndsTheOptions) {
    std::filesystem::rename(game, dir.File("-game.gba"));
    RunnerResult run = RunRunner("--frames 2 -- -game.gba", dir.path());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(dir.File("-game.sav")));
    EXPECT_EQ(RunRunner("--frames 2 -- --frames", dir.path()).output,
              "tamboril-run: cannot load --frames: not found\n");
}

TEST_F(Runner, LoadFailuresSayWhyOnStderr) {
    RunnerResult absent = RunRunner(dir.File("absent.gba"));
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.output, "tamboril-run: cannot load " + dir.File("absent.gba") + ": not found\n");
    RunnerResult console = RunRunner("--console " + dir.File("absent.gba"));
    EXPECT_NE(console.output.find("Loading " + dir.File("absent.gba") + "...FAILED to allocate memory.\n"),
              std::string::npos)
        << "the console line stays as it is";

    WriteFileBytes(dir.File("other.sta"), {'S', 'T', 'D', 0x1A, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    RunnerResult state = RunRunner("--load-state " + dir.File("other.sta") + " " + game);
    EXPECT_EQ(state.status, 1);
    EXPECT_NE(state.output.find("tamboril-run: cannot load the state " + dir.File("other.sta") +
                                ": another cartridge's state\n"),
              std::string::npos)
        << state.output;
}

TEST_F(Runner, UnwritableBatteryFileExitsWithThree) {
    std::filesystem::create_directory(dir.File("game.sav"));
    RunnerResult run = RunRunner("--frames 5 " + game);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.output, "tamboril-run: cannot write the battery file " + dir.File("game.sav") + ": Is a directory\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("game.sav")));
}

}  // namespace

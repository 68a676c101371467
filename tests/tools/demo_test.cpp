// demo_test.cpp - the demo cartridge end to end through the runner: its tune,
// its boot counter in battery-backed SRAM and its pictures under a key script.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"
#include "wav_analysis.h"

namespace {

std::string Runner() { return std::string(TAMBORIL_BIN_DIR) + "/tamboril-run"; }

class Demo : public ::testing::Test {
protected:
    void SetUp() override {
        cartridge = dir.File("demo.gba");
        std::filesystem::copy_file(std::string(TAMBORIL_BIN_DIR) + "/demo.gba", cartridge);
    }
    int Run(const std::string& options) {
        std::string command = Runner() + " " + options + " " + cartridge + " > /dev/null";
        return WEXITSTATUS(std::system(command.c_str()));
    }
    TempDir dir;
    std::string cartridge;
};

TEST_F(Demo, TuneStartsWithASteadyA) {
    ASSERT_EQ(Run("--frames 40 --audio " + dir.File("demo.wav")), 0);
    Wav wav = ReadWav(dir.File("demo.wav"));
    ASSERT_EQ(wav.rate, 22050u);
    // The first note holds for 30 frames from the first vertical blank; measure inside it.
    size_t begin = 22050 * 5 / 60, end = 22050 * 25 / 60;
    ASSERT_GT(wav.samples.size(), end);
    EXPECT_FALSE(Silent(wav.samples, begin, end));
    double expected = 131072.0 / (2048 - (2048 - 131072 / 440));
    EXPECT_NEAR(Fundamental(wav.samples, begin, end, wav.rate), expected, expected * 0.01);
}

TEST_F(Demo, BootCounterInBatteryRamGoesUpByOneEachRun) {
    std::string battery = dir.File("demo.sav");
    for (uint32_t boot = 1; boot <= 2; ++boot) {
        ASSERT_EQ(Run("--frames 5"), 0);
        std::vector<uint8_t> sram = ReadFileBytes(battery);
        ASSERT_EQ(sram.size(), 65536u) << "run " << boot;
        EXPECT_EQ(std::string(sram.begin(), sram.begin() + 4), "TMBR");
        uint32_t count = sram[4] | sram[5] << 8 | sram[6] << 16 | static_cast<uint32_t>(sram[7]) << 24;
        EXPECT_EQ(count, boot);
    }
}

}  // namespace

// battery_watch_test.cpp - the battery file written while the game plays: after
// a second without changes, never while the memory keeps changing or is
// untouched, never the identification bytes, and failed writes retried later.
#include "machine/battery_watch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cartridge_images.h"
#include "headless.h"
#include "machine/eeprom.h"
#include "machine/flash.h"
#include "machine/memory.h"
#include "test_support.h"

namespace {

class BatteryWatch : public ImageFolderTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartCartridge(Image("game.gba", MakeImage(0x200)))); }
    std::string Save() { return dir.File("game.sav"); }
    // Battery file writes the console has announced so far.
    static int Writes() { return BatteryWrites(Headless::ConsoleText()); }
};

TEST_F(BatteryWatch, WritesOnceTheMemoryHasBeenQuietForASecond) {
    Headless::RunFrames(10);
    MemWrite8(0x0E000123, 0x77);
    Headless::RunFrames(QuietFrames - 1);
    EXPECT_FALSE(std::filesystem::exists(Save())) << "still within the quiet second";
    Headless::RunFrames(2);
    ASSERT_EQ(Writes(), 1);
    std::vector<uint8_t> written = ReadFileBytes(Save());
    ASSERT_EQ(written.size(), SaveRamSize);
    EXPECT_EQ(written[0x123], 0x77);

    Headless::RunFrames(20 * QuietFrames);
    EXPECT_EQ(Writes(), 1) << "no write while the memory is untouched";
    EepromChip.data[8] = 1;
    Headless::RunFrames(QuietFrames + 1);
    EXPECT_EQ(Writes(), 2);
    EXPECT_EQ(std::filesystem::file_size(Save()), SaveRamSize + EepromDataBytes);
}

TEST_F(BatteryWatch, WaitsWhileTheGameKeepsWriting) {
    for (int i = 0; i < 10; ++i) {
        MemWrite16(0x0E000010, static_cast<uint32_t>(i + 1));
        Headless::RunFrames(QuietFrames / 2);
    }
    EXPECT_EQ(Writes(), 0);
    Headless::RunFrames(QuietFrames);
    EXPECT_EQ(Writes(), 1);
    EXPECT_EQ(ReadFileBytes(Save())[0x10], 10);
}

TEST_F(BatteryWatch, ContentTheFileAlreadyHoldsIsNotWrittenAgain) {
    Headless::RunFrames(1);
    EXPECT_EQ(Writes(), 0) << "a machine that never wrote writes nothing";
    SaveRam()[5] = 9;
    Headless::RunFrames(1);
    SaveRam()[5] = 0;
    Headless::RunFrames(3 * QuietFrames);
    EXPECT_EQ(Writes(), 0) << "changed and changed back: the memory is as it started";

    Headless::StopMachine();
    WriteFileBytes(Save(), std::vector<uint8_t>(EepromDataBytes, 3));
    ASSERT_TRUE(StartCartridge(dir.File("game.gba")));
    EepromChip.data[0] = 4;
    Headless::RunFrames(1);
    EepromChip.data[0] = 3;
    Headless::RunFrames(3 * QuietFrames);
    EXPECT_EQ(Writes(), 0) << "the memory is what the file gave";
}

// The identification that the Flash chip shows over bytes 0 and 1 is no data.
TEST_F(BatteryWatch, IdentificationModeNeverReachesTheFile) {
    SaveRam()[0] = 0x11;
    SaveRam()[1] = 0x22;
    for (auto [offset, value] : {std::pair{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x90}})
        MemWrite8(0x0E000000 + offset, value);
    ASSERT_TRUE(Flash.identifying);
    Headless::RunFrames(QuietFrames + 2);
    std::vector<uint8_t> written = ReadFileBytes(Save());
    ASSERT_EQ(written.size(), SaveRamSize);
    EXPECT_EQ(written[0], 0x11);
    EXPECT_EQ(written[1], 0x22);
    Headless::StopMachine();
    EXPECT_EQ(ReadFileBytes(Save()), written) << "nor does shutdown write it";
}

TEST_F(BatteryWatch, FailedWriteIsTriedAgainAMinuteLater) {
    std::filesystem::create_directory(Save());
    SaveRam()[7] = 1;
    Headless::RunFrames(QuietFrames + 2);
    EXPECT_EQ(Writes(), 1);
    EXPECT_NE(Headless::ConsoleText().find("Cannot save " + Save() + ": Is a directory"), std::string::npos);
    Headless::RunFrames(RetryFrames - 10);
    EXPECT_EQ(Writes(), 1) << "not once a second";
    std::filesystem::remove(Save());
    Headless::RunFrames(20);
    EXPECT_EQ(Writes(), 2);
    EXPECT_EQ(ReadFileBytes(Save())[7], 1);
}

}  // namespace

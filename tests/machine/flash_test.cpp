// flash_test.cpp - the Flash command interpreter over SRAM: identification,
// erases, programming, broken sequences, trace lines and the stored record.
#include "machine/flash.h"

#include <gtest/gtest.h>

#include "headless.h"
#include "machine/cartridge.h"
#include "machine/memory.h"
#include "test_support.h"

namespace {

class FlashChipTest : public ::testing::Test {
protected:
    void SetUp() override { BootWords(dir, {0xEAFFFFFE}); }
    void TearDown() override {
        std::fill(SaveRam(), SaveRam() + SaveRamSize, 0);  // keep the temporary folder free of a battery file
        Headless::StopMachine();
    }
    static void Write(uint32_t offset, uint8_t value) { MemWrite8(0x0E000000 + offset, value); }
    static void Command(uint8_t command) {
        Write(0x5555, 0xAA);
        Write(0x2AAA, 0x55);
        Write(0x5555, command);
    }
    static uint32_t Read(uint32_t offset) { return PeekByte(0x0E000000 + offset); }
    TempDir dir;
};

TEST_F(FlashChipTest, PlainBytesAndHalfwordsAreSramWrites) {
    Write(0x1000, 0x12);
    EXPECT_EQ(Read(0x1000), 0x12u);
    EXPECT_EQ(Flash.state, 0);
    Write(0x5555, 0xAA);
    MemWrite16(0x0E001000, 0xBEEF);
    EXPECT_EQ(Read(0x1000), 0xEFu);
    EXPECT_EQ(Read(0x1001), 0xBEu);
    EXPECT_EQ(Flash.state, 1) << "halfword stores bypass the command interpreter";
}

TEST_F(FlashChipTest, IdentificationModeShowsTheChipAndRestoresTheData) {
    Write(0, 0x11);
    Write(1, 0x22);
    Command(0x90);
    EXPECT_EQ(Read(0), 0xBFu);
    EXPECT_EQ(Read(1), 0xD4u);
    Command(0x90);  // entering again keeps the saved data
    Command(0xF0);
    EXPECT_EQ(Read(0), 0x11u);
    EXPECT_EQ(Read(1), 0x22u);

    Command(0x90);
    Write(0x0777, 0xF0);  // a single F0 anywhere also leaves
    EXPECT_FALSE(Flash.identifying);
    EXPECT_EQ(Read(0), 0x11u);
    EXPECT_EQ(Read(0x0777), 0u) << "the F0 itself is not stored";
}

// A reset (the machine's reset command, or a refused state) while the chip
// shows its identification must not leave it in the data the battery file keeps.
TEST_F(FlashChipTest, ResetInIdentificationModeGivesTheDataBack) {
    Write(0, 0x11);
    Write(1, 0x22);
    Command(0x90);
    ResetMachine();
    EXPECT_FALSE(Flash.identifying);
    EXPECT_EQ(Read(0), 0x11u);
    EXPECT_EQ(Read(1), 0x22u);
}

TEST_F(FlashChipTest, SectorAndChipErase) {
    std::fill(SaveRam(), SaveRam() + SaveRamSize, 0x5A);
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x3123, 0x30);
    for (uint32_t o : {0x2FFFu, 0x4000u}) EXPECT_EQ(Read(o), 0x5Au) << o;
    for (uint32_t o : {0x3000u, 0x3123u, 0x3FFFu}) EXPECT_EQ(Read(o), 0xFFu) << o;
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x5555, 0x10);
    EXPECT_EQ(std::count(SaveRam(), SaveRam() + SaveRamSize, 0xFF), SaveRamSize);
}

TEST_F(FlashChipTest, ProgrammingOnlyClearsBits) {
    Write(0x0123, 0x35);
    Command(0xA0);
    Write(0x0123, 0x0F);
    EXPECT_EQ(Read(0x0123), 0x05u);
    EXPECT_EQ(Flash.state, 0);
    Write(0x0123, 0xF0);
    EXPECT_EQ(Read(0x0123), 0xF0u) << "the next byte is a plain write again";
}

TEST_F(FlashChipTest, IdentificationModeBlocksErasingAndProgramming) {
    Write(0x3000, 0x12);
    Command(0x90);
    Command(0xA0);
    Write(0x3000, 0x00);
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x3000, 0x30);
    EXPECT_EQ(Read(0x3000), 0x12u);
    EXPECT_EQ(Read(0), 0xBFu);
}

TEST_F(FlashChipTest, BrokenSequencesReplayTheCommandBytes) {
    Write(0x5555, 0xAA);
    Write(0x0100, 0x01);  // state 1
    EXPECT_EQ(Read(0x5555), 0xAAu);
    EXPECT_EQ(Read(0x0100), 0x01u);
    EXPECT_EQ(Read(0x2AAA), 0u);

    std::fill(SaveRam(), SaveRam() + SaveRamSize, 0);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x0200, 0x02);  // state 2, not at 0x5555
    EXPECT_EQ(Read(0x5555), 0xAAu);
    EXPECT_EQ(Read(0x2AAA), 0x55u);
    EXPECT_EQ(Read(0x0200), 0x02u);

    std::fill(SaveRam(), SaveRam() + SaveRamSize, 0);
    Command(0x80);
    Write(0x0300, 0x03);  // state 3 replays nothing
    EXPECT_EQ(Read(0x5555), 0u);
    EXPECT_EQ(Read(0x0300), 0x03u);

    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x0400, 0x04);  // state 4
    EXPECT_EQ(Read(0x5555), 0xAAu);
    EXPECT_EQ(Read(0x2AAA), 0u);
    EXPECT_EQ(Read(0x0400), 0x04u);

    std::fill(SaveRam(), SaveRam() + SaveRamSize, 0);
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x0500, 0x05);  // state 5, neither erase
    EXPECT_EQ(Read(0x5555), 0xAAu);
    EXPECT_EQ(Read(0x2AAA), 0x55u);
    EXPECT_EQ(Read(0x0500), 0x05u);
    EXPECT_EQ(Flash.state, 0);

    Command(0x77);  // unknown command: nothing written
    EXPECT_EQ(Read(0x5555), 0xAAu);
    EXPECT_EQ(Flash.state, 0);
}

TEST_F(FlashChipTest, TraceLinesDescribeEachCommand) {
    Flash.trace = 1;
    Write(0x0010, 0x35);
    Command(0x90);
    Command(0xF0);
    Command(0xA0);
    Write(0x0010, 0x0F);
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x1234, 0x30);
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x5555, 0x10);
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x5555, 0x20);
    Command(0x33);
    Write(0x5555, 0xAA);
    Write(0x0001, 0x44);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x0001, 0x45);
    Command(0x80);
    Write(0x0001, 0x46);
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x0001, 0x47);
    Command(0x80);
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x0001, 0x48);
    EXPECT_EQ(Headless::ConsoleText().substr(Headless::ConsoleText().find("FLASH")),
              "FLASH: Product ID mode entered.\n"
              "FLASH: Product ID mode exited.\n"
              "FLASH: Writing to 0x0010: 0x0F AND 0x35 ==> 0x05.\n"
              "FLASH: Erasing page 0x1000-0x1FFF.\n"
              "FLASH: Erasing entire ROM.\n"
              "FLASH: Unknown command 0x80 0x20.\n"
              "FLASH: Unknown command 0x33.\n"
              "FLASH: 0xAA 0x44?\n"
              "FLASH: 0xAA 0x55 0x45?\n"
              "FLASH: 0xAA 0x55 0x80 0x46?\n"
              "FLASH: 0xAA 0x55 0x80 0xAA 0x47?\n"
              "FLASH: 0xAA 0x55 0x80 0xAA 0x55 0x48?.\n");
}

TEST_F(FlashChipTest, RecordKeepsTheCommandStateAndRefusesImpossibleOnes) {
    Write(0, 0x61);
    Command(0x90);
    Write(0x5555, 0xAA);
    uint8_t record[FlashChipBytes];
    StoreFlashChip(Flash, record);
    EXPECT_EQ(record[4], 1);
    EXPECT_EQ(record[5], 1);
    EXPECT_EQ(record[8], 0xBF);
    EXPECT_EQ(record[9], 0xD4);
    EXPECT_EQ(record[10], 0x61);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(record[i], 0) << "no host pointer is stored";

    FlashChip loaded{};
    loaded.data = SaveRam();
    ASSERT_TRUE(LoadFlashChip(loaded, record));
    EXPECT_EQ(loaded.state, 1);
    EXPECT_EQ(loaded.identifying, 1);
    EXPECT_EQ(loaded.identification, 0xD4BF);
    EXPECT_EQ(loaded.saved[0], 0x61);
    EXPECT_EQ(loaded.data, SaveRam());

    uint8_t bad[FlashChipBytes];
    std::copy(record, record + FlashChipBytes, bad);
    bad[4] = 7;
    EXPECT_FALSE(LoadFlashChip(loaded, bad));
    std::copy(record, record + FlashChipBytes, bad);
    bad[5] = 2;
    EXPECT_FALSE(LoadFlashChip(loaded, bad));
}

}  // namespace

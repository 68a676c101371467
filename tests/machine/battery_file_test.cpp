// battery_file_test.cpp - the ".sav" file: reading its three layouts and short
// files, writing what holds data, keeping files of other sizes, reporting
// failed writes and writing through links.
#include "machine/battery_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "cartridge_images.h"
#include "headless.h"
#include "machine/cartridge.h"
#include "machine/eeprom.h"
#include "machine/memory.h"
#include "test_support.h"

namespace {

class BatteryFile : public ImageFolderTest {
protected:
    std::string Game() { return Image("game.gba", MakeImage(0x200)); }
    std::string Save() { return dir.File("game.sav"); }
    static std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + seed);
        return bytes;
    }
    static std::string Console() { return Headless::ConsoleText(); }
};

TEST_F(BatteryFile, SramImageAlone) {
    std::vector<uint8_t> sram = Pattern(SaveRamSize, 1);
    WriteFileBytes(Save(), sram);
    ASSERT_TRUE(StartCartridge(Game()));
    EXPECT_NE(Console().find("Opening " + Save() + "...reading...OK\n"), std::string::npos);
    EXPECT_EQ(std::memcmp(SaveRam(), sram.data(), SaveRamSize), 0);
    EXPECT_EQ(std::count(EepromChip.data, EepromChip.data + EepromDataBytes, 0), EepromDataBytes);
}

TEST_F(BatteryFile, EepromDataAloneAlsoFillsTheStartOfSram) {
    std::vector<uint8_t> eeprom = Pattern(EepromDataBytes, 2);
    WriteFileBytes(Save(), eeprom);
    ASSERT_TRUE(StartCartridge(Game()));
    EXPECT_NE(Console().find("reading...OK\n"), std::string::npos);
    EXPECT_EQ(std::memcmp(EepromChip.data, eeprom.data(), EepromDataBytes), 0);
    EXPECT_EQ(std::memcmp(SaveRam(), eeprom.data(), EepromDataBytes), 0) << "the bytes read stay in SRAM";
    EXPECT_EQ(SaveRam()[EepromDataBytes], 0);
}

TEST_F(BatteryFile, SramFollowedByEepromData) {
    std::vector<uint8_t> both = Pattern(SaveRamSize + EepromDataBytes, 3);
    WriteFileBytes(Save(), both);
    ASSERT_TRUE(StartCartridge(Game()));
    EXPECT_EQ(std::memcmp(SaveRam(), both.data(), SaveRamSize), 0);
    EXPECT_EQ(std::memcmp(EepromChip.data, both.data() + SaveRamSize, EepromDataBytes), 0);
}

TEST_F(BatteryFile, ShortFilesLoadWhatTheyHoldAndFail) {
    std::vector<uint8_t> some = Pattern(100, 4);
    WriteFileBytes(Save(), some);
    ASSERT_TRUE(StartCartridge(Game())) << "a damaged battery file does not stop the machine";
    EXPECT_NE(Console().find("reading...FAILED\n"), std::string::npos);
    EXPECT_EQ(std::memcmp(SaveRam(), some.data(), some.size()), 0);
    EXPECT_EQ(std::memcmp(EepromChip.data, some.data(), some.size()), 0);
    Headless::StopMachine();  // writes the 100 bytes back as a whole SRAM image
    WriteFileBytes(Save(), {});
    ASSERT_TRUE(StartCartridge(Game()));
    EXPECT_NE(Console().find("reading...FAILED\n"), std::string::npos);
    std::filesystem::remove(Save());
    ASSERT_EQ(mkfifo(Save().c_str(), 0600), 0);
    ASSERT_TRUE(StartCartridge(Game())) << "a pipe must not block the start";
    EXPECT_NE(Console().find("Opening " + Save() + "...FAILED\n"), std::string::npos);
    std::filesystem::remove(Save());
    std::filesystem::create_directory(dir.File("folder.sav"));
    ASSERT_TRUE(StartCartridge(Image("folder.gba", MakeImage(0x200))));
    EXPECT_NE(Console().find("FAILED\nInitializing"), std::string::npos);
}

TEST_F(BatteryFile, ShutdownWritesWhatHoldsData) {
    ASSERT_TRUE(StartCartridge(Game()));
    Headless::StopMachine();
    EXPECT_FALSE(std::filesystem::exists(Save())) << "nothing is written while both stores are zero";

    ASSERT_TRUE(StartCartridge(Game()));
    EepromChip.data[511] = 0x42;
    Headless::ClearConsoleText();
    Headless::StopMachine();
    EXPECT_EQ(Console(), "\nOpening " + Save() + "...writing...OK\n");
    EXPECT_EQ(std::filesystem::file_size(Save()), 512u);

    ASSERT_TRUE(StartCartridge(Game()));
    EXPECT_EQ(EepromChip.data[511], 0x42);
    MemWrite8(0x0E00FFFF, 0x99);
    Headless::StopMachine();
    EXPECT_EQ(std::filesystem::file_size(Save()), 66048u);

    ASSERT_TRUE(StartCartridge(Game()));
    EXPECT_EQ(SaveRam()[0xFFFF], 0x99);
    std::fill(EepromChip.data, EepromChip.data + EepromDataBytes, 0);
    std::fill(SaveRam(), SaveRam() + SaveRamSize, 0xFF);  // an erased Flash is kept
    Headless::StopMachine();
    std::vector<uint8_t> written = ReadFileBytes(Save());
    ASSERT_EQ(written.size(), 65536u);
    EXPECT_EQ(std::count(written.begin(), written.end(), 0xFF), 65536);
}

TEST_F(BatteryFile, FailedWriteKeepsThePreviousFile) {
    std::vector<uint8_t> good = Pattern(SaveRamSize + EepromDataBytes, 5);
    WriteFileBytes(Save(), good);
    ASSERT_TRUE(StartCartridge(Game()));
    SaveRam()[0] ^= 0xFF;
    Headless::ClearConsoleText();
    {
        FileSizeLimit limit(4096);
        Headless::StopMachine();
    }
    EXPECT_EQ(Console(), "\nOpening " + Save() + "...writing...FAILED\nCannot save " + Save() + ": File too large\n");
    EXPECT_EQ(ReadFileBytes(Save()), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
        << "no temporary file is left behind";
}

// A file of a size this program never writes is kept, byte for byte, under a
// name no earlier copy has, before the first write that replaces it.
TEST_F(BatteryFile, FilesOfOtherSizesAreKeptBeforeBeingReplaced) {
    const std::vector<uint8_t> flash128k = Pattern(2 * SaveRamSize, 6);
    WriteFileBytes(Save(), flash128k);
    ASSERT_TRUE(StartCartridge(Game()));  // a cartridge that never touches backup memory
    Headless::ClearConsoleText();
    ASSERT_TRUE(Headless::StopMachine());
    EXPECT_EQ(ReadFileBytes(Save() + ".bak"), flash128k);
    EXPECT_EQ(std::filesystem::file_size(Save()), 66048u);
    EXPECT_EQ(Console(),
              "Battery file of 131072 bytes kept as " + Save() + ".bak\n\nOpening " + Save() + "...writing...OK\n");

    const std::vector<uint8_t> hundred = Pattern(100, 7);
    WriteFileBytes(Save(), hundred);
    ASSERT_TRUE(StartCartridge(Game()));
    ASSERT_TRUE(Headless::StopMachine());
    EXPECT_EQ(ReadFileBytes(Save() + ".bak"), flash128k) << "an earlier copy is never overwritten";
    EXPECT_EQ(ReadFileBytes(Save() + ".bak.1"), hundred);

    ASSERT_TRUE(StartCartridge(Game()));  // now a file of this program's own size
    ASSERT_TRUE(Headless::StopMachine());
    EXPECT_FALSE(std::filesystem::exists(Save() + ".bak.2"));
}

TEST_F(BatteryFile, FailedWritesAreReportedWithTheReason) {
    std::filesystem::create_directory(Save());
    ASSERT_TRUE(StartCartridge(Game()));
    SaveRam()[5] = 1;
    Headless::ClearConsoleText();
    EXPECT_FALSE(Headless::StopMachine());
    EXPECT_EQ(SaveFileFailure, "Is a directory");
    EXPECT_EQ(Console(), "\nOpening " + Save() + "...writing...FAILED\nCannot save " + Save() + ": Is a directory\n");
    EXPECT_TRUE(std::filesystem::is_directory(Save()));

    std::filesystem::remove(Save());
    ASSERT_TRUE(StartCartridge(Game()));
    EXPECT_TRUE(Headless::StopMachine()) << "nothing to write is no failure";
    EXPECT_EQ(SaveFileFailure, "");
}

TEST_F(BatteryFile, LinkedFileIsWrittenThroughTheLink) {
    std::filesystem::create_directory(dir.File("saves"));
    WriteFileBytes(dir.File("saves/game.sav"), Pattern(SaveRamSize, 8));
    ASSERT_EQ(symlink("saves/game.sav", Save().c_str()), 0);
    ASSERT_TRUE(StartCartridge(Game()));
    EXPECT_EQ(SaveRam()[1], Pattern(SaveRamSize, 8)[1]);
    SaveRam()[1] ^= 0xFF;
    std::vector<uint8_t> expected(SaveRam(), SaveRam() + SaveRamSize);
    ASSERT_TRUE(Headless::StopMachine());
    EXPECT_TRUE(std::filesystem::is_symlink(Save()));
    EXPECT_EQ(ReadFileBytes(dir.File("saves/game.sav")), expected);
}

}  // namespace

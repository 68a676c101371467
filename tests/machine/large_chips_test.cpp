// large_chips_test.cpp - the 128 KB Flash and the 8 KB EEPROM: chosen as the
// image's save library announces them, bank switching, 14-bit requests, their
// battery files and state sections, refusals of states of other chips, and
// the programs that use them across runs.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "cartridge_images.h"
#include "cpu/cpu.h"
#include "headless.h"
#include "machine/battery_file.h"
#include "machine/cartridge.h"
#include "machine/eeprom.h"
#include "machine/flash.h"
#include "machine/memory.h"
#include "machine/save_state.h"
#include "platform/record.h"
#include "test_support.h"

namespace {

constexpr size_t StateBytes = 509688;
constexpr size_t FlashSectionBytes = 8 + 4 + 65536;
constexpr size_t EepromSectionBytes = 8 + 7680;

// An idle image whose data holds a save library's identification string.
std::vector<uint8_t> Announcing(const std::string& library) {
    std::vector<uint8_t> image = MakeImage(0x4000);
    std::memcpy(image.data() + 0x1000, library.data(), library.size());
    return image;
}

class LargeChips : public ImageFolderTest {
protected:
    std::string Game(const std::string& library) { return Image("game.gba", Announcing(library)); }
    std::string Save() { return dir.File("game.sav"); }
    static void Write(uint32_t offset, uint8_t value) { MemWrite8(0x0E000000 + offset, value); }
    static void Command(uint8_t command) {
        Write(0x5555, 0xAA);
        Write(0x2AAA, 0x55);
        Write(0x5555, command);
    }
    static void Bank(uint8_t bank) {
        Command(0xB0);
        Write(0, bank);
    }
    static uint32_t Read(uint32_t offset) { return PeekByte(0x0E000000 + offset); }
    // Requests of the 8 KB chip, bit by bit as DMA makes them.
    static void Send(uint64_t bits, int count) {
        for (int i = count - 1; i >= 0; --i) MemWrite16(0x0D000000, static_cast<uint32_t>(bits >> i) & 1);
    }
    static uint64_t ReadBlock(uint32_t block, int addressBits) {
        Send(0b11, 2);
        Send(block, addressBits);
        Send(0, 1);
        uint64_t value = 0;
        for (int i = 0; i < 68; ++i) value = value << 1 | MemRead16(0x0D000000);
        return value;
    }
    static void WriteBlock(uint32_t block, uint64_t value, int addressBits) {
        Send(0b10, 2);
        Send(block, addressBits);
        Send(value, 64);
        Send(0, 1);
    }
    // The first request by DMA3, of `count` halfwords from EWRAM.
    static void DmaRequest(uint32_t count) {
        MemWrite32(0x040000D4, 0x02000000);
        MemWrite32(0x040000D8, 0x0D000000);
        MemWrite16(0x040000DC, count);
        MemWrite16(0x040000DE, 0x8000);
    }
    std::vector<uint8_t> StateStream(const std::string& name) {
        EXPECT_TRUE(SaveMachineState(dir.File(name).c_str()));
        return ReadGzip(dir.File(name));
    }
};

TEST_F(LargeChips, OnlyTheLibraryStringsChooseTheLargerChips) {
    ASSERT_TRUE(StartCartridge(Game("SRAM_V113 FLASH512_V131")));
    EXPECT_EQ(Flash.parked, nullptr);
    EXPECT_EQ(EepromChip.kind, EepromKind::Small);
    Command(0x90);
    EXPECT_EQ(Read(0) | Read(1) << 8, 0xD4BFu);

    ASSERT_TRUE(StartCartridge(Game("FLASH1M_V103")));
    EXPECT_NE(Flash.parked, nullptr);
    EXPECT_NE(Headless::ConsoleText().find("Allocating 64kB second Flash bank...OK\n"), std::string::npos);
    Command(0x90);
    EXPECT_EQ(Read(0) | Read(1) << 8, 0x09C2u) << "a 1 Mbit chip";
    Command(0xF0);

    ASSERT_TRUE(StartCartridge(Game("EEPROM_V124")));
    EXPECT_EQ(EepromChip.kind, EepromKind::Announced);
    DmaRequest(9);  // a 6-bit read: still the 512-byte chip
    EXPECT_EQ(EepromChip.kind, EepromKind::Announced);
    DmaRequest(17);
    EXPECT_EQ(EepromChip.kind, EepromKind::Large);

    ASSERT_TRUE(StartCartridge(Game("SRAM_V113")));
    DmaRequest(81);
    EXPECT_EQ(EepromChip.kind, EepromKind::Small) << "without the string, the 512-byte chip stays";
}

TEST_F(LargeChips, BankCommandSwitchesTheVisibleHalf) {
    ASSERT_TRUE(StartCartridge(Game("FLASH1M_V103")));
    Command(0x80);
    Command(0x10);
    Bank(1);
    EXPECT_EQ(Read(0xFFFF), 0xFFu) << "a chip erase erases both banks";
    Command(0xA0);
    Write(0x1234, 0x11);
    Bank(0);
    EXPECT_EQ(Read(0x1234), 0xFFu);
    Command(0xA0);
    Write(0x1234, 0x22);
    Bank(1);
    EXPECT_EQ(Read(0x1234), 0x11u);
    EXPECT_EQ(Flash.bank, 1);

    // Identification mode stays on across a bank switch and leaves both banks' data alone.
    Command(0x90);
    Bank(0);
    EXPECT_EQ(Read(0) | Read(1) << 8, 0x09C2u);
    Command(0xF0);
    EXPECT_EQ(Read(0), 0xFFu);
    Bank(1);
    EXPECT_EQ(Read(0), 0xFFu);

    // Not the bank number's address: a plain write, and state 0 again.
    Command(0xB0);
    Write(0x10, 0);
    EXPECT_EQ(Flash.state, 0);
    EXPECT_EQ(Flash.bank, 1);
    ResetMachine();
    EXPECT_EQ(Flash.bank, 0);
    EXPECT_EQ(Read(0x1234), 0x22u) << "a reset maps bank 0";
}

TEST_F(LargeChips, FlashBatteryFileHoldsBank0ThenBank1) {
    ASSERT_TRUE(StartCartridge(Game("FLASH1M_V103")));
    SaveRam()[3] = 0xB0;
    Bank(1);
    SaveRam()[3] = 0xB1;  // bank 1 stays mapped at shutdown
    ASSERT_TRUE(Headless::StopMachine());
    std::vector<uint8_t> file = ReadFileBytes(Save());
    ASSERT_EQ(file.size(), 131072u);
    EXPECT_EQ(file[3], 0xB0);
    EXPECT_EQ(file[65536 + 3], 0xB1);

    ASSERT_TRUE(StartCartridge(dir.File("game.gba")));
    EXPECT_EQ(Read(3), 0xB0u);
    Bank(1);
    EXPECT_EQ(Read(3), 0xB1u);
    ASSERT_TRUE(Headless::StopMachine());
    EXPECT_EQ(ReadFileBytes(Save()), file);

    // A 64 KB file of the same cartridge (written by an earlier version) is bank 0.
    WriteFileBytes(Save(), std::vector<uint8_t>(65536, 0x5A));
    ASSERT_TRUE(StartCartridge(dir.File("game.gba")));
    EXPECT_EQ(Read(0x8000), 0x5Au);
    Bank(1);
    EXPECT_EQ(Read(0x8000), 0u);
    ASSERT_TRUE(Headless::StopMachine());
    EXPECT_EQ(std::filesystem::file_size(Save()), 131072u);
    EXPECT_FALSE(std::filesystem::exists(Save() + ".bak")) << "a size this program wrote is no foreign file";
}

TEST_F(LargeChips, FourteenBitRequestsReachAll1024Blocks) {
    ASSERT_TRUE(StartCartridge(Game("EEPROM_V124")));
    DmaRequest(81);
    ASSERT_EQ(EepromChip.kind, EepromKind::Large);
    WriteBlock(1023, 0x0123456789ABCDEFull, 14);
    WriteBlock(0x3C00 | 5, 0x1111222233334444ull, 14);  // the top four address bits are ignored
    EXPECT_EQ(ReadBlock(1023, 14), 0x0123456789ABCDEFull);
    EXPECT_EQ(ReadBlock(5, 14), 0x1111222233334444ull);
    EXPECT_EQ(LoadLe64(EepromChip.data + 1023 * 8), 0x0123456789ABCDEFull);
    ASSERT_TRUE(Headless::StopMachine());
    std::vector<uint8_t> file = ReadFileBytes(Save());
    ASSERT_EQ(file.size(), 8192u) << "the EEPROM part alone: nothing in SRAM";
    EXPECT_EQ(LoadLe64(&file[5 * 8]), 0x1111222233334444ull);

    ASSERT_TRUE(StartCartridge(dir.File("game.gba")));
    EXPECT_EQ(EepromChip.kind, EepromKind::Large) << "known from the battery file";
    EXPECT_NE(Headless::ConsoleText().find("reading...8kB EEPROM...OK\n"), std::string::npos);
    EXPECT_EQ(ReadBlock(1023, 14), 0x0123456789ABCDEFull);
    EXPECT_EQ(SaveRam()[0], 0) << "no copy in SRAM";
}

TEST_F(LargeChips, StatesCarryTheLargerChipsAfterTheStream) {
    ASSERT_TRUE(StartCartridge(Game("FLASH1M_V103 EEPROM_V124")));
    DmaRequest(17);
    Bank(1);
    SaveRam()[0x40] = 0x41;
    Bank(0);
    SaveRam()[0x40] = 0x40;
    Bank(1);
    EepromChip.data[8000] = 0x80;
    EepromChip.data[100] = 0x10;
    Command(0xB0);  // a bank command in progress
    std::vector<uint8_t> stream = StateStream("s.sta");
    ASSERT_EQ(stream.size(), StateBytes + FlashSectionBytes + EepromSectionBytes);
    EXPECT_EQ(std::string(stream.begin() + StateBytes, stream.begin() + StateBytes + 4), "FL1M");
    EXPECT_EQ(LoadLe32(&stream[StateBytes + 4]), 65540u);
    EXPECT_EQ(stream[StateBytes + 8], 1) << "bank 1 mapped";
    EXPECT_EQ(stream[StateBytes + 12 + 0x40], 0x40) << "the other bank";
    EXPECT_EQ(stream[444152 + 0x40], 0x41) << "the SRAM block holds the mapped bank";
    const size_t eeprom = StateBytes + FlashSectionBytes;
    EXPECT_EQ(std::string(stream.begin() + eeprom, stream.begin() + eeprom + 4), "EE8K");
    EXPECT_EQ(stream[eeprom + 8 + 8000 - 512], 0x80);
    EXPECT_EQ(stream[216 + 16 + 100], 0x10) << "the first 512 bytes in the EEPROM record";

    Write(0, 0);  // completes the bank command: bank 0
    SaveRam()[0x40] = 0;
    std::fill(EepromChip.data, EepromChip.data + LargeEepromDataBytes, 0);
    ASSERT_TRUE(LoadMachineState(dir.File("s.sta").c_str())) << StateLoadFailure;
    EXPECT_EQ(Flash.bank, 1);
    EXPECT_EQ(Flash.state, 7);
    EXPECT_EQ(Read(0x40), 0x41u);
    Write(0, 0);
    EXPECT_EQ(Read(0x40), 0x40u);
    EXPECT_EQ(EepromChip.data[8000], 0x80);
    EXPECT_EQ(EepromChip.data[100], 0x10);
    EXPECT_EQ(StateStream("again.sta").size(), stream.size());
}

// Each state is refused whole when its sections do not match the cartridge's
// chips; the machine keeps running as it was.
TEST_F(LargeChips, StatesOfOtherChipsAreRefusedUntouched) {
    ASSERT_TRUE(StartCartridge(Game("FLASH1M_V103")));
    std::vector<uint8_t> large = StateStream("large.sta");
    ASSERT_TRUE(StartCartridge(Game("SRAM_V113")));  // same header, so the same complement
    std::vector<uint8_t> classic = StateStream("classic.sta");
    ASSERT_EQ(classic.size(), StateBytes);
    SaveRam()[9] = 0x99;
    EXPECT_FALSE(LoadMachineState(dir.File("large.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "damaged: longer than a state");
    EXPECT_EQ(SaveRam()[9], 0x99);

    ASSERT_TRUE(StartCartridge(Game("FLASH1M_V103")));
    SaveRam()[9] = 0x99;
    EXPECT_FALSE(LoadMachineState(dir.File("classic.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "a state of other backup chips");
    std::vector<uint8_t> damaged = large;
    damaged[StateBytes + 8] = 2;  // bank 2
    WriteGzip(dir.File("damaged.sta"), damaged);
    EXPECT_FALSE(LoadMachineState(dir.File("damaged.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "impossible value in the Flash section");
    damaged = large;
    damaged.pop_back();
    WriteGzip(dir.File("damaged.sta"), damaged);
    EXPECT_FALSE(LoadMachineState(dir.File("damaged.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "a state of other backup chips");
    damaged = large;
    damaged.push_back(0);
    WriteGzip(dir.File("damaged.sta"), damaged);
    EXPECT_FALSE(LoadMachineState(dir.File("damaged.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "damaged: longer than a state");
    EXPECT_EQ(SaveRam()[9], 0x99);

    // An announced EEPROM takes a state with or without its section; once it
    // is the 8 KB chip, only one with it.
    ASSERT_TRUE(StartCartridge(Game("EEPROM_V124")));
    std::vector<uint8_t> small = StateStream("small.sta");
    DmaRequest(81);
    std::vector<uint8_t> big = StateStream("big.sta");
    ASSERT_EQ(big.size(), StateBytes + EepromSectionBytes);
    EXPECT_FALSE(LoadMachineState(dir.File("small.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "a state of other backup chips");
    ASSERT_TRUE(StartCartridge(dir.File("game.gba")));
    EXPECT_TRUE(LoadMachineState(dir.File("small.sta").c_str()));
    EXPECT_EQ(EepromChip.kind, EepromKind::Announced);
    EXPECT_TRUE(LoadMachineState(dir.File("big.sta").c_str()));
    EXPECT_EQ(EepromChip.kind, EepromKind::Large);
}

struct ChipProgram {
    const char* name;
    size_t batteryBytes;
    size_t stateBytes;
};

class LargeChipProgram : public ::testing::TestWithParam<ChipProgram> {};

// Each program writes its chip on a first run and reads it back on a second
// run with the battery file of the first; a state taken after the first run
// brings the chip's whole content back.
TEST_P(LargeChipProgram, TwoRunsAndAStateRoundTrip) {
    TempDir dir;
    const std::string game = dir.File("game.gba");
    std::filesystem::copy_file(ProgramPath(GetParam().name), game);
    BootProgram(game);
    Headless::RunFrames(10);
    EXPECT_EQ(Cpu.r[11], 1u);
    EXPECT_EQ(Cpu.r[12], 0u) << "first run's check that failed";
    ASSERT_TRUE(Headless::SaveState(dir.File("game.sta")));
    EXPECT_EQ(ReadGzip(dir.File("game.sta")).size(), GetParam().stateBytes);
    ASSERT_TRUE(Headless::StopMachine());
    std::vector<uint8_t> battery = ReadFileBytes(dir.File("game.sav"));
    EXPECT_EQ(battery.size(), GetParam().batteryBytes);

    BootProgram(game);
    Headless::RunFrames(10);
    EXPECT_EQ(Cpu.r[11], 2u);
    EXPECT_EQ(Cpu.r[12], 0u) << "second run's check that failed";

    ASSERT_TRUE(StartCartridge(game));
    std::fill(SaveRam(), SaveRam() + SaveRamSize, 0);
    if (Flash.parked) std::fill(Flash.parked, Flash.parked + FlashBankBytes, 0);
    std::fill(EepromChip.data, EepromChip.data + LargeEepromDataBytes, 0);
    ASSERT_TRUE(Headless::LoadState(dir.File("game.sta"))) << StateLoadFailure;
    std::vector<uint8_t> restored;
    BuildBatteryImage(restored);
    EXPECT_EQ(restored, battery);
    Headless::StopMachine();
}

INSTANTIATE_TEST_SUITE_P(Programs, LargeChipProgram,
                         ::testing::Values(ChipProgram{"save_flash_1m", 131072, StateBytes + FlashSectionBytes},
                                           ChipProgram{"save_eeprom_8k", 8192, StateBytes + EepromSectionBytes}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// cartridge_external_test.cpp - machine start with the public test cartridges:
// a replacement BIOS as "GBA.ROM", the homebrew games for a minute, the
// backup-memory cartridges, and a battery file carried from run to run.
#include <gtest/gtest.h>

#include <filesystem>

#include "cpu/cpu.h"
#include "headless.h"
#include "machine/cartridge.h"
#include "machine/memory.h"
#include "test_support.h"

namespace {

// Runs with the current directory switched to `dir`, restoring it afterwards.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

class ExternalCartridge : public ::testing::Test {
protected:
    void TearDown() override { Headless::StopMachine(); }
    // A copy in the temporary folder, so that battery files land there.
    std::string Copy(const std::string& source) {
        std::string path = dir.File(std::filesystem::path(source).filename().string());
        std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
        return path;
    }
    void InstallBios(const std::string& bios) { std::filesystem::copy_file(bios, dir.File("GBA.ROM")); }
    bool Start(const std::string& path) {
        Headless::StopMachine();
        WorkingDirectory cwd(dir.path());
        return Headless::StartMachine(path);
    }
    // Executing where nothing executable is would show a fault of the machine.
    static bool ExecutingCode() {
        uint32_t pc = Cpu.r[15];
        uint32_t region = pc >> 24;
        return (region == 0 && pc < BiosSize) || region == 2 || region == 3 || (region >= 8 && region <= 0xD);
    }
    void RunAMinute(const std::string& game);
    TempDir dir;
};

TEST_F(ExternalCartridge, ReplacementBiosBootsIntoTheCartridge) {
    REQUIRE_SHARED_ROM(bios, "cult-bios/bios.bin");
    REQUIRE_SHARED_ROM(arm, "gba-tests-intended/arm.gba");
    InstallBios(bios);
    ASSERT_TRUE(Start(Copy(arm)));
    EXPECT_NE(Headless::ConsoleText().find("Loading GBA.ROM...OK\n"), std::string::npos);
    EXPECT_TRUE(BiosLoaded);
    EXPECT_EQ(Cpu.r[15], 0u);
    EXPECT_EQ(Cpu.cpsr & ModeMask, ModeSupervisor);
    int frames = 0;
    while ((Cpu.r[15] >> 24) != 8 && frames < 1200) {
        Headless::RunFrames(1);
        ++frames;
    }
    EXPECT_EQ(Cpu.r[15] >> 24, 8u) << "the BIOS hands over to the cartridge";
    Headless::RunFrames(600);
    EXPECT_EQ(Cpu.r[12], 0u) << "every ARM test passes when started through the BIOS";
}

// A minute of emulated time, without and with the replacement BIOS.
void ExternalCartridge::RunAMinute(const std::string& game) {
    REQUIRE_SHARED_ROM(bios, "cult-bios/bios.bin");
    REQUIRE_SHARED_ROM(path, game);
    std::string copy = Copy(path);
    for (bool withBios : {false, true}) {
        if (withBios) InstallBios(bios);
        uint32_t oldFlags = DebugFlags;
        DebugFlags |= 0x10;  // unrecognized opcodes print a line
        bool started = Start(copy);
        DebugFlags = oldFlags;
        ASSERT_TRUE(started) << game;
        Headless::RunFrames(3600);
        EXPECT_EQ(Headless::FrameCount(), 3600u) << game;
        EXPECT_TRUE(ExecutingCode()) << game << std::hex << " PC=" << Cpu.r[15];
        EXPECT_EQ(Headless::ConsoleText().find("Unrecognized"), std::string::npos) << game;
        Headless::StopMachine();
    }
}

TEST_F(ExternalCartridge, MinicraftRunsAMinute) { RunAMinute("homebrew/minicraft.gba"); }
TEST_F(ExternalCartridge, UcityRunsAMinute) { RunAMinute("homebrew/ucity-advance.gba"); }

TEST_F(ExternalCartridge, BackupMemoryCartridgesStopAtTheirFirstTest) {
    // Battery memory starts zeroed here, not erased to 0xFF as their first test expects.
    for (const char* name : {"sram", "flash64", "flash128", "none"}) {
        REQUIRE_SHARED_ROM(path, std::string("gba-tests/save/") + name + ".gba");
        ASSERT_TRUE(Start(Copy(path)));
        Headless::RunFrames(60);
        EXPECT_EQ(Cpu.r[12], 1u) << name;
    }
}

TEST_F(ExternalCartridge, BatteryFileCarriesFromRunToRun) {
    std::string game = Copy(ProgramPath("save_battery"));
    for (uint32_t run = 1; run <= 3; ++run) {
        ASSERT_TRUE(Start(game));
        Headless::RunFrames(2);
        EXPECT_EQ(Cpu.r[12], run) << "SRAM counter";
        EXPECT_EQ(Cpu.r[11], run - 1) << "EEPROM block 7";
        Headless::StopMachine();
        EXPECT_EQ(std::filesystem::file_size(dir.File("save_battery.sav")), 66048u);
    }
}

}  // namespace

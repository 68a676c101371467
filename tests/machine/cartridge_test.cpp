// cartridge_test.cpp - machine start: console lines, image sizes and formats,
// the header check, the BIOS choice, reset values and the battery file.
#include "machine/cartridge.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "cartridge_images.h"
#include "cpu/cpu.h"
#include "headless.h"
#include "machine/eeprom.h"
#include "machine/io.h"
#include "machine/memory.h"
#include "test_support.h"
#include "video/renderer.h"

namespace {

// Loads an image file through the headless host and keeps the console text.
bool Start(const std::string& path) {
    Headless::StopMachine();
    Headless::ClearConsoleText();
    return Headless::StartMachine(path);
}

std::string Console() { return Headless::ConsoleText(); }

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

// Makes file writes of this process fail past `bytes` while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_;
    void (*previous_)(int);
};

class Cartridge : public ::testing::Test {
protected:
    void TearDown() override { Headless::StopMachine(); }
    std::string Image(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string path = dir.File(name);
        WriteFileBytes(path, bytes);
        return path;
    }
    TempDir dir;
};

TEST_F(Cartridge, LoadPrintsEveryStepAndTheHeader) {
    ImageHeader h;
    h.title = "SAVETEST";
    h.code = "ABCE";
    h.maker = "0A";
    h.version = 3;
    h.unit = 1;
    h.device = 0x80;
    std::string path = Image("game.gba", MakeImage(0x8000, h));
    ASSERT_TRUE(Start(path));
    EXPECT_EQ(
        Console(),
        "Allocating 16kB Dummy RAM...OK\n"
        "Allocating 1kB buffer for sound channel A...OK\n"
        "Allocating 1kB buffer for sound channel B...OK\n"
        "Allocating 16kB BIOS ROM...OK\n"
        "Allocating 256kB External Working RAM...OK\n"
        "Allocating 32kB Internal Working RAM...OK\n"
        "Allocating 16kB I/O...OK\n"
        "Allocating 16kB Palette RAM...OK\n"
        "Allocating 96kB VRAM...OK\n"
        "Allocating 16kB Sprite RAM...OK\n"
        "Allocating 64kB Cartridge SRAM...OK\n"
        "Loading " +
            path +
            "...32kB...OK\n"
            "  Title:    SAVETEST (ABCE)\n"
            "  Maker:    Jaleco (0A)\n"
            "  Japanese: NO\n"
            "  American: YES\n"
            "  European: NO\n"
            "  German:   NO\n"
            "  Version:  03h\n"
            "  Unit:     01h\n"
            "  Device:   80h\n"
            "  Start:    080000C0h\n"
            "  CMP:      " +
            [&] {
                char text[32];
                std::snprintf(text, sizeof text, "%02Xh (REAL=%02Xh)\n", MakeImage(0x8000, h)[0xBD],
                              MakeImage(0x8000, h)[0xBD]);
                return std::string(text);
            }() +
            "Opening " + dir.File("game.sav") +
            "...FAILED\n"
            "Initializing hardware and CPU...OK\n"
            "Starting CPU...\n");
    EXPECT_EQ(SavePath, dir.File("game.sav"));
    EXPECT_EQ(StatePath, dir.File("game.STA"));
}

TEST_F(Cartridge, MakerTableTakesTheFirstRowOfACode) {
    EXPECT_STREQ(MakerName('0', '1'), "Nintendo (1)");
    EXPECT_STREQ(MakerName('3', '3'), "Nintendo (2)");
    EXPECT_STREQ(MakerName('0', 'A'), "Jaleco");
    EXPECT_STREQ(MakerName('5', '2'), "Activision");
    EXPECT_STREQ(MakerName('8', 'C'), "Bullet-Proof Software");
    EXPECT_STREQ(MakerName('4', '6'), "70");
    EXPECT_STREQ(MakerName('6', 'W'), "SEGA (US)");
    EXPECT_STREQ(MakerName('8', 'P'), "SEGA (Japan)");
    EXPECT_STREQ(MakerName('E', 'X'), "Asmik (2)");
    EXPECT_STREQ(MakerName('Z', 'Z'), "Unknown");
    EXPECT_STREQ(MakerName('0', 'a'), "Unknown") << "codes are compared exactly";
}

TEST_F(Cartridge, RegionLetterAndComplement) {
    std::vector<uint8_t> header(0xC0, 0);
    EXPECT_EQ(HeaderComplement(header.data()), 0xE7) << "an all-zero header needs 0xE7";
    ImageHeader h;
    h.code = "TSVD";
    ASSERT_TRUE(Start(Image("r.gba", MakeImage(0x200, h))));
    EXPECT_NE(Console().find("  Japanese: NO\n  American: NO\n  European: NO\n  German:   YES\n"), std::string::npos);
}

TEST_F(Cartridge, ComplementMismatchStopsTheLoad) {
    std::vector<uint8_t> image = MakeImage(0x4000);
    image[0xBD] ^= 1;
    EXPECT_FALSE(Start(Image("bad.gba", image)));
    EXPECT_NE(Console().find("CMP CHECK FAILED!\n"), std::string::npos);
    EXPECT_EQ(Console().find("Opening"), std::string::npos) << "no battery file is read";
    EXPECT_TRUE(SavePath.empty());
    EXPECT_EQ(PeekWord(0x08000000), 0xEA00002Eu) << "the image stays mapped until shutdown";
    ShutdownMachine();
    EXPECT_EQ(ReadPageTable[0x08000000 >> PageShift], nullptr);
}

TEST_F(Cartridge, SmallImageIsPaddedToAPage) {
    std::string path = Image("small.gba", MakeImage(100));
    EXPECT_FALSE(Start(path)) << "its header lies in the padding and fails the check";
    EXPECT_NE(Console().find("...0kB...OK\n"), std::string::npos);
    EXPECT_NE(Console().find("  CMP:      00h (REAL=E7h)\nCMP CHECK FAILED!\n"), std::string::npos);
    EXPECT_NE(Console().find("  Title:     (....)\n  Maker:    Unknown (..)\n"), std::string::npos)
        << "zero bytes in the codes do not cut the console lines";
    EXPECT_EQ(PeekWord(0x08000060), 0u) << "bytes past the image are zero";
    EXPECT_EQ(PeekWord(0x08003FFC), 0u);
    EXPECT_EQ(ReadPageTable[0x08004000 >> PageShift], nullptr) << "one page is mapped, the next is not";
    EXPECT_EQ(PeekWord(0x0A000000), 0xEA00002Eu);
    EXPECT_EQ(PeekWord(0x0C000000), 0xEA00002Eu);
}

TEST_F(Cartridge, ImagesUpTo32MegabytesLoad) {
    std::vector<uint8_t> image = MakeImage(MaxCartridgeSize);
    image.back() = 0x77;
    ASSERT_TRUE(Start(Image("big.gba", image)));
    EXPECT_NE(Console().find("...32768kB...OK\n"), std::string::npos);
    EXPECT_EQ(PeekByte(0x09FFFFFF), 0x77u);
    EXPECT_EQ(PeekByte(0x0DFFFFFF), 0x77u);
    image.push_back(0);
    EXPECT_FALSE(Start(Image("big.gba", image)));
    EXPECT_NE(Console().find("...32768kB...FAILED to allocate memory.\n"), std::string::npos);
}

TEST_F(Cartridge, MissingEmptyAndUnreadableImagesFail) {
    EXPECT_FALSE(Start(dir.File("absent.gba")));
    EXPECT_NE(Console().find("Loading " + dir.File("absent.gba") + "...FAILED to allocate memory.\n"),
              std::string::npos);
    EXPECT_FALSE(Start(Image("empty.gba", {})));
    EXPECT_NE(Console().find("...0kB...FAILED to allocate memory.\n"), std::string::npos);
    EXPECT_FALSE(Start(dir.path())) << "a folder is not an image";
}

TEST_F(Cartridge, GzipImagesLoadLikePlainOnes) {
    std::vector<uint8_t> image = MakeImage(0x24000);
    for (size_t i = 0x100; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    std::string path = dir.File("packed.gba.gz");
    ASSERT_TRUE(WriteGzip(path, image));
    ASSERT_TRUE(Start(path)) << Console();
    EXPECT_NE(Console().find("...144kB...OK\n"), std::string::npos);
    for (uint32_t a : {0x100u, 0x1234u, 0x23FFFu}) EXPECT_EQ(PeekByte(0x08000000 + a), image[a]) << a;
    EXPECT_EQ(SavePath, dir.File("packed.gba.sav"));
}

TEST_F(Cartridge, DamagedImagesNeverCrashTheLoader) {
    std::vector<uint8_t> image = MakeImage(0x9000);
    for (size_t i = 0x100; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 + (i >> 8));
    std::string packed = dir.File("packed.gz");
    ASSERT_TRUE(WriteGzip(packed, image));
    std::vector<uint8_t> gz = ReadFileBytes(packed);
    std::mt19937 random(5);
    for (int round = 0; round < 120; ++round) {
        std::vector<uint8_t> damaged = gz;
        if (round % 2)
            damaged.resize(random() % gz.size());
        else
            damaged[random() % gz.size()] ^= static_cast<uint8_t>(1 + random() % 255);
        bool loaded = Start(Image("damaged.gz", damaged));
        if (loaded)
            EXPECT_EQ(HeaderComplement(CartridgeRom()), CartridgeRom()[0xBD]);
        else
            EXPECT_NE(Console().find("FAILED"), std::string::npos);
    }
}

TEST_F(Cartridge, SaveAndStatePathsReplaceTheFileExtension) {
    EXPECT_EQ(ReplaceExtension("/a/game.gba", ".sav"), "/a/game.sav");
    EXPECT_EQ(ReplaceExtension("/a/game.v1.gba", ".sta"), "/a/game.v1.sta");
    EXPECT_EQ(ReplaceExtension("/a/game", ".sav"), "/a/game.sav");
    EXPECT_EQ(ReplaceExtension("/a.d/game", ".sav"), "/a.d/game.sav") << "a dotted folder is not an extension";
    EXPECT_EQ(ReplaceExtension("game", ".sta"), "game.sta");
    ASSERT_TRUE(Start(Image("noextension", MakeImage(0x200))));
    EXPECT_EQ(SavePath, dir.File("noextension.sav"));
    EXPECT_EQ(StatePath, dir.File("noextension.STA"));
}

TEST_F(Cartridge, ResetGivesThePowerOnState) {
    ASSERT_TRUE(Start(Image("game.gba", MakeImage(0x200))));
    EXPECT_FALSE(BiosLoaded);
    EXPECT_EQ(PeekWord(0), 0xE3A0F302u) << "the stub branches to the cartridge";
    EXPECT_EQ(PeekWord(0x18), 0xE92D500Fu);
    EXPECT_EQ(PeekWord(0x2C), 0xE25EF004u);
    EXPECT_EQ(PeekWord(0x30), 0x09FE2000u) << "the rest of the BIOS keeps the fill word";
    EXPECT_EQ(PeekWord(0x3FFC), 0x09FE2000u);

    // Disturb the machine, then reset it.
    StoreIo(Reg::WIN0H, 0x1234);
    StoreIo(Reg::DISPSTAT, 0x0028);
    StoreIo(Reg::BG2PA, 0x0555);
    StoreIo(Reg::BG0CNT + 2, 0x0003);
    StoreIo(Reg::BLDALPHA, 0x0808);
    BlendEva = 8;
    HaltState = 1;
    Affine[1].x = 99;
    Cpu.r[3] = 3;
    ResetMachine();

    EXPECT_EQ(Cpu.cpsr, ModeSystem);
    EXPECT_EQ(Cpu.r[3], 0u);
    EXPECT_EQ(Cpu.r[13], 0x03007F00u);
    EXPECT_EQ(Cpu.r[14], 0x08000000u);
    EXPECT_EQ(Cpu.r[15], 0x08000000u);
    EXPECT_EQ(Cpu.bank[BankWord::SvcR13 - BankWord::Reserved17], 0x03007FE0u);
    EXPECT_EQ(Cpu.bank[BankWord::IrqR13 - BankWord::Reserved17], 0x03007FA0u);
    EXPECT_EQ(Cpu.sliceQuantum, 960);
    EXPECT_EQ(Cpu.cycleBudget, 960);
    EXPECT_EQ(PeekWord(0x03007FFC), 0x28u);
    EXPECT_EQ(HaltState, 0);

    const std::pair<uint32_t, uint32_t> registers[] = {
        {Reg::KEYINPUT, 0xFFFF},  {Reg::DISPCNT, 0x0080}, {Reg::DISPSTAT, 0},      {Reg::SOUNDCNT_H, 0x880E},
        {Reg::SOUNDBIAS, 0x0200}, {Reg::RCNT, 0x8000},    {Reg::BG2PA, 0x0100},    {Reg::BG2PA + 2, 0},
        {Reg::BG2PA + 6, 0x0100}, {Reg::BG3PA, 0x0100},   {Reg::BG3PA + 6, 0x100}, {Reg::BG0CNT + 2, 0},
        {Reg::BLDALPHA, 0},       {Reg::WIN0H, 0x1234},
    };
    for (auto [offset, value] : registers) EXPECT_EQ(ReadIo(offset), value) << std::hex << offset;
    EXPECT_EQ(BlendEva, 0);
    EXPECT_EQ(BgOrder[0], 0x30000000u);
    EXPECT_EQ(BgOrder[3], 0u);
    EXPECT_EQ(Affine[0].pa, 0x100);
    EXPECT_EQ(Affine[1].pd, 0x100);
    EXPECT_EQ(Affine[1].x, 0);
    EXPECT_EQ(AccessCost16[8], 3) << "WAITCNT 0 applied";
}

TEST_F(Cartridge, BiosImageFromTheWorkingDirectoryStartsAtZero) {
    std::string game = Image("game.gba", MakeImage(0x200));
    std::vector<uint8_t> bios(BiosSize);
    for (size_t i = 0; i < bios.size(); ++i) bios[i] = static_cast<uint8_t>(i ^ 0xA5);
    WriteFileBytes(dir.File("GBA.ROM"), bios);
    {
        WorkingDirectory cwd(dir.path());
        ASSERT_TRUE(Start(game));
    }
    EXPECT_NE(Console().find("Allocating 64kB Cartridge SRAM...OK\nLoading GBA.ROM...OK\nLoading "), std::string::npos);
    EXPECT_TRUE(BiosLoaded);
    EXPECT_EQ(PeekByte(0x1234), bios[0x1234]);
    EXPECT_EQ(Cpu.r[15], 0u);
    EXPECT_EQ(Cpu.cpsr, 0xD3u);
    EXPECT_EQ(PeekWord(0x03007FFC), 0u) << "the BIOS sets up its own handler";

    bios.resize(100);
    WriteFileBytes(dir.File("GBA.ROM"), bios);
    {
        WorkingDirectory cwd(dir.path());
        ASSERT_TRUE(Start(game));
    }
    EXPECT_NE(Console().find("Loading GBA.ROM...FAILED\n"), std::string::npos);
    EXPECT_FALSE(BiosLoaded);
    EXPECT_EQ(PeekWord(0), 0xE3A0F302u) << "a short image falls back to the stub";
    EXPECT_EQ(PeekWord(0x40), 0x09FE2000u) << "and nothing of it stays";
    EXPECT_EQ(Cpu.r[15], 0x08000000u);
}

class BatteryFile : public Cartridge {
protected:
    std::string Game() { return Image("game.gba", MakeImage(0x200)); }
    std::string Save() { return dir.File("game.sav"); }
    static std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + seed);
        return bytes;
    }
};

TEST_F(BatteryFile, SramImageAlone) {
    std::vector<uint8_t> sram = Pattern(SaveRamSize, 1);
    WriteFileBytes(Save(), sram);
    ASSERT_TRUE(Start(Game()));
    EXPECT_NE(Console().find("Opening " + Save() + "...reading...OK\n"), std::string::npos);
    EXPECT_EQ(std::memcmp(SaveRam(), sram.data(), SaveRamSize), 0);
    EXPECT_EQ(std::count(EepromChip.data, EepromChip.data + EepromDataBytes, 0), EepromDataBytes);
}

TEST_F(BatteryFile, EepromDataAloneAlsoFillsTheStartOfSram) {
    std::vector<uint8_t> eeprom = Pattern(EepromDataBytes, 2);
    WriteFileBytes(Save(), eeprom);
    ASSERT_TRUE(Start(Game()));
    EXPECT_NE(Console().find("reading...OK\n"), std::string::npos);
    EXPECT_EQ(std::memcmp(EepromChip.data, eeprom.data(), EepromDataBytes), 0);
    EXPECT_EQ(std::memcmp(SaveRam(), eeprom.data(), EepromDataBytes), 0) << "the bytes read stay in SRAM";
    EXPECT_EQ(SaveRam()[EepromDataBytes], 0);
}

TEST_F(BatteryFile, SramFollowedByEepromData) {
    std::vector<uint8_t> both = Pattern(SaveRamSize + EepromDataBytes, 3);
    WriteFileBytes(Save(), both);
    ASSERT_TRUE(Start(Game()));
    EXPECT_EQ(std::memcmp(SaveRam(), both.data(), SaveRamSize), 0);
    EXPECT_EQ(std::memcmp(EepromChip.data, both.data() + SaveRamSize, EepromDataBytes), 0);
}

TEST_F(BatteryFile, ShortFilesLoadWhatTheyHoldAndFail) {
    std::vector<uint8_t> some = Pattern(100, 4);
    WriteFileBytes(Save(), some);
    ASSERT_TRUE(Start(Game())) << "a damaged battery file does not stop the machine";
    EXPECT_NE(Console().find("reading...FAILED\n"), std::string::npos);
    EXPECT_EQ(std::memcmp(SaveRam(), some.data(), some.size()), 0);
    EXPECT_EQ(std::memcmp(EepromChip.data, some.data(), some.size()), 0);
    Headless::StopMachine();  // writes the 100 bytes back as a whole SRAM image
    WriteFileBytes(Save(), {});
    ASSERT_TRUE(Start(Game()));
    EXPECT_NE(Console().find("reading...FAILED\n"), std::string::npos);
    std::filesystem::create_directory(dir.File("folder.sav"));
    ASSERT_TRUE(Start(Image("folder.gba", MakeImage(0x200))));
    EXPECT_NE(Console().find("FAILED\nInitializing"), std::string::npos);
}

TEST_F(BatteryFile, ShutdownWritesWhatHoldsData) {
    ASSERT_TRUE(Start(Game()));
    Headless::StopMachine();
    EXPECT_FALSE(std::filesystem::exists(Save())) << "nothing is written while both stores are zero";

    ASSERT_TRUE(Start(Game()));
    EepromChip.data[511] = 0x42;
    Headless::ClearConsoleText();
    Headless::StopMachine();
    EXPECT_EQ(Console(), "\nOpening " + Save() + "...writing...OK\n");
    EXPECT_EQ(std::filesystem::file_size(Save()), 512u);

    ASSERT_TRUE(Start(Game()));
    EXPECT_EQ(EepromChip.data[511], 0x42);
    MemWrite8(0x0E00FFFF, 0x99);
    Headless::StopMachine();
    EXPECT_EQ(std::filesystem::file_size(Save()), 66048u);

    ASSERT_TRUE(Start(Game()));
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
    ASSERT_TRUE(Start(Game()));
    SaveRam()[0] ^= 0xFF;
    Headless::ClearConsoleText();
    {
        FileSizeLimit limit(4096);
        Headless::StopMachine();
    }
    EXPECT_EQ(Console(), "\nOpening " + Save() + "...writing...FAILED\n");
    EXPECT_EQ(ReadFileBytes(Save()), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
        << "no temporary file is left behind";
}

}  // namespace

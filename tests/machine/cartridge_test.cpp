// cartridge_test.cpp - machine start: console lines, image sizes and formats,
// the header check, the BIOS choice, reset values and the battery file.
#include "machine/cartridge.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "cartridge_images.h"
#include "cpu/cpu.h"
#include "headless.h"
#include "machine/io.h"
#include "machine/memory.h"
#include "test_support.h"
#include "video/renderer.h"

namespace {

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

using Cartridge = ImageFolderTest;

TEST_F(Cartridge, LoadPrintsEveryStepAndTheHeader) {
    ImageHeader h;
    h.title = "SAVETEST";
    h.code = "ABCE";
    h.maker = "0A";
    h.version = 3;
    h.unit = 1;
    h.device = 0x80;
    std::string path = Image("game.gba", MakeImage(0x8000, h));
    ASSERT_TRUE(StartCartridge(path));
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
    ASSERT_TRUE(StartCartridge(Image("r.gba", MakeImage(0x200, h))));
    EXPECT_NE(Console().find("  Japanese: NO\n  American: NO\n  European: NO\n  German:   YES\n"), std::string::npos);
}

TEST_F(Cartridge, ComplementMismatchStopsTheLoad) {
    std::vector<uint8_t> image = MakeImage(0x4000);
    image[0xBD] ^= 1;
    EXPECT_FALSE(StartCartridge(Image("bad.gba", image)));
    EXPECT_NE(Console().find("CMP CHECK FAILED!\n"), std::string::npos);
    EXPECT_EQ(Console().find("Opening"), std::string::npos) << "no battery file is read";
    EXPECT_TRUE(SavePath.empty());
    EXPECT_EQ(PeekWord(0x08000000), 0xEA00002Eu) << "the image stays mapped until shutdown";
    ShutdownMachine();
    EXPECT_EQ(ReadPageTable[0x08000000 >> PageShift], nullptr);
}

TEST_F(Cartridge, SmallImageIsPaddedToAPage) {
    std::string path = Image("small.gba", MakeImage(100));
    EXPECT_FALSE(StartCartridge(path)) << "its header lies in the padding and fails the check";
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
    ASSERT_TRUE(StartCartridge(Image("big.gba", image)));
    EXPECT_NE(Console().find("...32768kB...OK\n"), std::string::npos);
    EXPECT_EQ(PeekByte(0x09FFFFFF), 0x77u);
    EXPECT_EQ(PeekByte(0x0DFFFFFF), 0x77u);
    image.push_back(0);
    EXPECT_FALSE(StartCartridge(Image("big.gba", image)));
    EXPECT_NE(Console().find("...32768kB...FAILED to allocate memory.\n"), std::string::npos);
}

TEST_F(Cartridge, MissingEmptyAndUnreadableImagesFail) {
    EXPECT_FALSE(StartCartridge(dir.File("absent.gba")));
    EXPECT_NE(Console().find("Loading " + dir.File("absent.gba") + "...FAILED to allocate memory.\n"),
              std::string::npos);
    EXPECT_FALSE(StartCartridge(Image("empty.gba", {})));
    EXPECT_NE(Console().find("...0kB...FAILED to allocate memory.\n"), std::string::npos);
    EXPECT_FALSE(StartCartridge(dir.path())) << "a folder is not an image";
}

TEST_F(Cartridge, GzipImagesLoadLikePlainOnes) {
    std::vector<uint8_t> image = MakeImage(0x24000);
    for (size_t i = 0x100; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    std::string path = dir.File("packed.gba.gz");
    ASSERT_TRUE(WriteGzip(path, image));
    ASSERT_TRUE(StartCartridge(path)) << Console();
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
        bool loaded = StartCartridge(Image("damaged.gz", damaged));
        if (loaded)
            EXPECT_EQ(HeaderComplement(CartridgeRom()), CartridgeRom()[0xBD]);
        else
            EXPECT_NE(Console().find("FAILED"), std::string::npos);
    }
}

// A gzip error is a load failure (every kind of damage is the reader's test):
// a partial or unchecked image never runs, and the reasons reach the host.
TEST_F(Cartridge, DamagedGzipImagesFailAndFailuresSayWhy) {
    std::string packed = dir.File("packed.gz");
    ASSERT_TRUE(WriteGzip(packed, MakeImage(0x8000)));
    std::vector<uint8_t> crc = ReadFileBytes(packed);
    crc[crc.size() - 8] ^= 1;
    EXPECT_FALSE(StartCartridge(Image("crc.gz", crc)));
    EXPECT_EQ(LoadFailure, "damaged gzip data");
    EXPECT_NE(Console().find("...32kB...FAILED to allocate memory.\n"), std::string::npos);
    ASSERT_EQ(mkfifo(dir.File("pipe.gba").c_str(), 0600), 0);
    EXPECT_FALSE(StartCartridge(dir.File("pipe.gba"))) << "a pipe must not block the loader";
    EXPECT_EQ(LoadFailure, "not a regular file");
    std::vector<uint8_t> image = MakeImage(0x200);
    image[0xBD] ^= 1;
    EXPECT_FALSE(StartCartridge(Image("bad.gba", image)));
    EXPECT_EQ(LoadFailure, "header checksum wrong");
    EXPECT_TRUE(StartCartridge(Image("good.gba", MakeImage(0x200))));
    EXPECT_EQ(LoadFailure, "");
}

// Battery and state files never land on the image: an image named like one
// gets the extension appended instead, also when reached through a link.
TEST_F(Cartridge, ImageNamedLikeItsBatteryOrStateFileIsNeverOverwritten) {
    const std::vector<uint8_t> image = MakeImage(0x200);
    ASSERT_TRUE(StartCartridge(Image("x.sav", image)));
    EXPECT_EQ(SavePath, dir.File("x.sav.sav"));
    EXPECT_EQ(StatePath, dir.File("x.STA"));
    SaveRam()[0] = 0x42;
    Headless::StopMachine();
    EXPECT_EQ(ReadFileBytes(dir.File("x.sav")), image);
    EXPECT_EQ(std::filesystem::file_size(dir.File("x.sav.sav")), 65536u);

    ASSERT_TRUE(StartCartridge(Image("y.STA", image)));
    EXPECT_EQ(StatePath, dir.File("y.STA.STA"));
    ASSERT_EQ(symlink("game.gba", dir.File("game.sav").c_str()), 0);
    ASSERT_TRUE(StartCartridge(Image("game.gba", image)));
    EXPECT_EQ(SavePath, dir.File("game.gba.sav")) << "game.sav is the image itself";
}

TEST_F(Cartridge, SaveAndStatePathsReplaceTheFileExtension) {
    EXPECT_EQ(ReplaceExtension("/a/game.gba", ".sav"), "/a/game.sav");
    EXPECT_EQ(ReplaceExtension("/a/game.v1.gba", ".sta"), "/a/game.v1.sta");
    EXPECT_EQ(ReplaceExtension("/a/game", ".sav"), "/a/game.sav");
    EXPECT_EQ(ReplaceExtension("/a.d/game", ".sav"), "/a.d/game.sav") << "a dotted folder is not an extension";
    EXPECT_EQ(ReplaceExtension("game", ".sta"), "game.sta");
    ASSERT_TRUE(StartCartridge(Image("noextension", MakeImage(0x200))));
    EXPECT_EQ(SavePath, dir.File("noextension.sav"));
    EXPECT_EQ(StatePath, dir.File("noextension.STA"));
}

TEST_F(Cartridge, ResetGivesThePowerOnState) {
    ASSERT_TRUE(StartCartridge(Image("game.gba", MakeImage(0x200))));
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
        ASSERT_TRUE(StartCartridge(game));
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
        ASSERT_TRUE(StartCartridge(game));
    }
    EXPECT_NE(Console().find("Loading GBA.ROM...FAILED\n"), std::string::npos);
    EXPECT_FALSE(BiosLoaded);
    EXPECT_EQ(PeekWord(0), 0xE3A0F302u) << "a short image falls back to the stub";
    EXPECT_EQ(PeekWord(0x40), 0x09FE2000u) << "and nothing of it stays";
    EXPECT_EQ(Cpu.r[15], 0x08000000u);
}

}  // namespace

// save_state_test.cpp - machine states: the exact stream layout, round trips
// that continue identically, and damaged, truncated or crafted files.
#include "machine/save_state.h"

#include <gtest/gtest.h>

#include <random>

#include "cartridge_images.h"
#include "cpu/cpu.h"
#include "headless.h"
#include "machine/cartridge.h"
#include "machine/eeprom.h"
#include "machine/flash.h"
#include "machine/io.h"
#include "machine/memory.h"
#include "machine/timers.h"
#include "platform/record.h"
#include "test_support.h"
#include "video/renderer.h"

namespace {

constexpr size_t StateBytes = 509688;
constexpr size_t CpuAt = 16, FlashAt = 204, EepromAt = 216, MachineAt = 760, InternalRamAt = 1784,
                 ExternalRamAt = 34552, IoAt = 296696, PaletteAt = 313080, VideoRamAt = 329464, ObjectRamAt = 427768,
                 SaveRamAt = 444152;

void Append(std::vector<uint8_t>& out, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

// Everything a state carries, read back from the running machine, plus the
// last picture. Blend coefficients are derived from the I/O page.
std::vector<uint8_t> Snapshot() {
    std::vector<uint8_t> out;
    uint8_t cpu[CpuStateBytes], flash[FlashChipBytes], eeprom[EepromBytes];
    StoreCpuState(Cpu, cpu);
    StoreFlashChip(Flash, flash);
    StoreEeprom(EepromChip, eeprom);
    Append(out, cpu, sizeof cpu);
    Append(out, flash, sizeof flash);
    Append(out, eeprom, sizeof eeprom);
    const int32_t words[] = {HaltState,
                             BlendEva,
                             BlendEvb,
                             BlendEvy,
                             Timers[0].divisor,
                             Timers[1].divisor,
                             Timers[2].divisor,
                             Timers[3].divisor,
                             Timers[0].countdown,
                             Timers[1].countdown,
                             Timers[2].countdown,
                             Timers[3].countdown};
    Append(out, words, sizeof words);
    Append(out, BgOrder, sizeof BgOrder);
    Append(out, Affine, sizeof Affine);
    Append(out, InternalRam(), InternalRamSize);
    Append(out, ExternalRam(), ExternalRamSize);
    Append(out, IoPage(), IoSize);
    Append(out, PaletteRam(), PaletteSize);
    Append(out, VideoRam(), VideoRamBufferSize);
    Append(out, ObjectRam(), ObjectRamSize);
    Append(out, SaveRam(), SaveRamSize);
    Append(out, Headless::LastFrame(), ScreenWidth * ScreenHeight * 2);
    return out;
}

class MachineState : public ::testing::Test {
protected:
    void SetUp() override {
        game = dir.File("game.gba");
        WriteFileBytes(game, MakeImage(0x4000));
        Boot();
    }
    void TearDown() override {
        std::fill(SaveRam(), SaveRam() + SaveRamSize, 0);
        std::fill(EepromChip.data, EepromChip.data + EepromDataBytes, 0);
        Headless::StopMachine();
    }
    void Boot() {
        Headless::StopMachine();
        ASSERT_TRUE(Headless::StartMachine(game));
    }
    // Distinct values in every part of the machine a state carries.
    static void Disturb(uint8_t seed) {
        Cpu.r[5] = 0x50505050u + seed;
        MemWrite32(0x03000000, 0x11110000u + seed);
        MemWrite32(0x0203FFFC, 0x22220000u + seed);
        StoreIo(Reg::BLDALPHA, 0x0C03);
        StoreIo(Reg::BLDY, 0x0010);
        BlendEva = 3;  // as the register write would have set them
        BlendEvb = 12;
        BlendEvy = 16;
        MemWrite16(0x050003FE, 0x3333u + seed);
        MemWrite16(0x06017FFE, 0x4444u + seed);
        MemWrite16(0x070003FE, 0x5555u + seed);
        MemWrite8(0x0E00FFFF, seed);
        EepromChip.data[511] = seed;
        HaltState = seed % 3;
        Timers[2].divisor = 64;
        Timers[2].countdown = 1 + seed % 64;
        Affine[1].pb = -seed;
        Affine[0].x = seed * 1000;
    }
    std::string Path(const std::string& name) { return dir.File(name); }
    TempDir dir;
    std::string game;
};

TEST_F(MachineState, StreamHasTheExactLayout) {
    Disturb(7);
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    std::vector<uint8_t> s = ReadGzip(Path("s.sta"));
    ASSERT_EQ(s.size(), StateBytes);
    EXPECT_EQ(std::string(s.begin(), s.begin() + 4), std::string("STD\x1A"));
    EXPECT_EQ(s[4], 2);
    EXPECT_EQ(s[5], CartridgeRom()[0xBD]);
    EXPECT_EQ(std::count(s.begin() + 6, s.begin() + 16, 0), 10);
    uint8_t cpu[CpuStateBytes];
    StoreCpuState(Cpu, cpu);
    EXPECT_TRUE(std::equal(cpu, cpu + CpuStateBytes, s.begin() + CpuAt));
    EXPECT_EQ(LoadLe32(&s[CpuAt + 4 * 6]), 0x50505057u) << "R5";
    EXPECT_EQ(s[FlashAt + 8], 0xBF);
    EXPECT_EQ(s[EepromAt + 16 + 511], 7);
    EXPECT_EQ(LoadLe64(&s[EepromAt + 8]), ~uint64_t{0});
    const uint8_t* m = &s[MachineAt];
    EXPECT_EQ(LoadLe32(m + 0), 1u) << "halt state";
    EXPECT_EQ(LoadLe32(m + 16), BgOrder[0]);
    EXPECT_EQ(LoadLe32(m + 32 + 8), 64u) << "timer 2 divisor";
    EXPECT_EQ(LoadLe32(m + 48 + 8), 8u) << "timer 2 countdown";
    EXPECT_EQ(LoadLe32(m + 64 + 8), 7000u) << "BG2 X";
    EXPECT_EQ(LoadLe32(m + 64 + 16), 0x100u) << "BG2 PA";
    EXPECT_EQ(LoadLeSigned32(m + 96 + 20), -7) << "BG3 PB";
    EXPECT_EQ(std::count(m + 128, m + 1024, 0), 896);
    EXPECT_EQ(LoadLe32(&s[InternalRamAt]), 0x11110007u);
    EXPECT_EQ(LoadLe32(&s[ExternalRamAt + 0x3FFFC]), 0x22220007u);
    EXPECT_EQ(LoadLe16(&s[IoAt + Reg::BLDALPHA]), 0x0C03u);
    EXPECT_EQ(LoadLe16(&s[PaletteAt + 0x3FE]), 0x333Au);
    EXPECT_EQ(LoadLe16(&s[VideoRamAt + 0x17FFE]), 0x444Bu);
    EXPECT_EQ(LoadLe16(&s[ObjectRamAt + 0x3FE]), 0x555Cu);
    EXPECT_EQ(s[SaveRamAt + 0xFFFF], 7);
}

TEST_F(MachineState, SaveAndLoadAtOnceChangesNothing) {
    Headless::RunFrames(3);
    Disturb(4);
    StoreIo(Reg::DMA0SAD + Reg::DMA_STRIDE * 1, 0x1237);      // DMA1 and DMA2 sources, read back
    StoreIo(Reg::DMA0SAD + Reg::DMA_STRIDE * 1 + 2, 0x0200);  // as the direct-sound feed's
    StoreIo(Reg::DMA0SAD + Reg::DMA_STRIDE * 2, 0x0008);
    StoreIo(Reg::DMA0SAD + Reg::DMA_STRIDE * 2 + 2, 0xF300);
    std::vector<uint8_t> before = Snapshot();
    ASSERT_TRUE(Headless::SaveState(Path("s.sta")));
    BlendEva = BlendEvb = BlendEvy = 0;  // recomputed by the load
    Flash.data = nullptr;                // re-established by the load
    Rings[0].source = Rings[1].source = 0;
    ASSERT_TRUE(Headless::LoadState(Path("s.sta")));
    EXPECT_TRUE(Snapshot() == before);
    EXPECT_EQ(Flash.data, SaveRam());
    EXPECT_EQ(EepromChip.reply, DummyRam);
    EXPECT_EQ(Rings[0].source, 0x02001234u);
    EXPECT_EQ(Rings[1].source, 0x03000008u);
}

TEST_F(MachineState, LoadedStateRunsOnExactlyAsTheOriginal) {
    for (const std::string& name : {std::string("save_roundtrip"), std::string("count_loop")}) {
        game = dir.File(name + ".gba");  // its battery file stays in the temporary folder
        WriteFileBytes(game, ReadFileBytes(ProgramPath(name)));
        Boot();
        Headless::RunFrames(20);
        ASSERT_TRUE(Headless::SaveState(Path("run.sta"))) << name;
        Headless::RunFrames(15);
        std::vector<uint8_t> original = Snapshot();

        ASSERT_TRUE(Headless::LoadState(Path("run.sta")));
        Headless::RunFrames(15);
        EXPECT_TRUE(Snapshot() == original) << name << ": the same machine after the same frames";

        Boot();  // a fresh machine, as when a state is loaded at start
        ASSERT_TRUE(Headless::LoadState(Path("run.sta")));
        Headless::RunFrames(15);
        EXPECT_TRUE(Snapshot() == original) << name << ": loaded into a new machine";
    }
}

TEST_F(MachineState, UncompressedStreamLoadsToo) {
    Disturb(9);
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    std::vector<uint8_t> saved = Snapshot();
    WriteFileBytes(Path("plain.sta"), ReadGzip(Path("s.sta")));
    Disturb(1);
    ASSERT_TRUE(LoadMachineState(Path("plain.sta").c_str()));
    EXPECT_TRUE(Snapshot() == saved);
}

TEST_F(MachineState, HeaderMismatchesLeaveTheMachineUntouched) {
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    std::vector<uint8_t> stream = ReadGzip(Path("s.sta"));
    Disturb(2);
    std::vector<uint8_t> current = Snapshot();
    EXPECT_FALSE(LoadMachineState(Path("absent.sta").c_str()));
    for (size_t at : {0u, 3u, 4u, 5u}) {
        std::vector<uint8_t> damaged = stream;
        damaged[at] ^= 0x40;
        WriteFileBytes(Path("bad.sta"), damaged);
        EXPECT_FALSE(LoadMachineState(Path("bad.sta").c_str())) << at;
        EXPECT_TRUE(Snapshot() == current) << at;
    }
}

TEST_F(MachineState, StateOfAnotherCartridgeWithTheSameComplementLoads) {
    ImageHeader other;
    other.title = "SAVETESU";  // one more in the title,
    other.code = "TSVD";       // one less in the code: the same sum
    ASSERT_EQ(MakeImage(0x4000, other)[0xBD], MakeImage(0x4000)[0xBD]);
    Disturb(3);
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    std::vector<uint8_t> saved = Snapshot();
    game = dir.File("other.gba");
    WriteFileBytes(game, MakeImage(0x4000, other));
    Boot();
    EXPECT_TRUE(LoadMachineState(Path("s.sta").c_str()));
    EXPECT_EQ(Cpu.r[5], 0x50505053u);
}

// Streams cut short (or too long) are refused whole: the machine is reset
// where the stream ends inside the CPU and Flash records or the machine block,
// and untouched everywhere else; nothing of the cut state is ever applied.
TEST_F(MachineState, TruncatedStreamsAreRefusedWhole) {
    Disturb(5);
    ASSERT_TRUE(SaveMachineState(Path("saved.sta").c_str()));
    std::vector<uint8_t> stream = ReadGzip(Path("saved.sta"));
    Disturb(6);
    Cpu.r[15] = 0x08000100;
    ASSERT_TRUE(SaveMachineState(Path("current.sta").c_str()));
    ASSERT_TRUE(LoadMachineState(Path("current.sta").c_str()));
    std::vector<uint8_t> current = Snapshot();
    ResetMachine();
    std::vector<uint8_t> reset = Snapshot();

    std::vector<size_t> lengths;
    for (size_t n = 0; n <= InternalRamAt + 2; ++n)
        if (n < 24 || n % 41 == 0) lengths.push_back(n);
    for (size_t at : {CpuAt, FlashAt, EepromAt, MachineAt, InternalRamAt, ExternalRamAt, IoAt, PaletteAt, VideoRamAt,
                      ObjectRamAt, SaveRamAt, StateBytes}) {
        lengths.push_back(at - 1);
        lengths.push_back(at);
    }
    lengths.push_back(StateBytes + 1);
    stream.push_back(0);
    for (size_t n : lengths) {
        ASSERT_TRUE(LoadMachineState(Path("current.sta").c_str()));
        WriteFileBytes(Path("cut.sta"), std::vector<uint8_t>(stream.begin(), stream.begin() + n));
        bool loaded = LoadMachineState(Path("cut.sta").c_str());
        EXPECT_EQ(loaded, n == StateBytes) << n;
        if (n == StateBytes) continue;
        bool resets = (n >= CpuAt && n < EepromAt) || (n >= MachineAt && n < InternalRamAt);
        EXPECT_TRUE(Snapshot() == (resets ? reset : current)) << n << (resets ? ": reset" : ": untouched");
    }
}

TEST_F(MachineState, DamagedCompressedFilesNeverCrash) {
    Headless::RunFrames(2);
    Disturb(8);
    for (uint32_t i = 0; i < 0x800; i += 4) MemWrite32(0x02000000 + i, i * 2654435761u);
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    std::vector<uint8_t> saved = Snapshot();
    std::vector<uint8_t> file = ReadFileBytes(Path("s.sta"));
    for (size_t n = 0; n < file.size(); n += 1 + n / 64) {
        WriteFileBytes(Path("cut.sta"), std::vector<uint8_t>(file.begin(), file.begin() + n));
        if (LoadMachineState(Path("cut.sta").c_str())) {
            EXPECT_TRUE(Snapshot() == saved) << n;
        }
    }
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> damaged = file;
        for (int flips = 1 + round % 3; flips > 0; --flips)
            damaged[random() % damaged.size()] ^= static_cast<uint8_t>(1 + random() % 255);
        WriteFileBytes(Path("flip.sta"), damaged);
        LoadMachineState(Path("flip.sta").c_str());
        EXPECT_EQ(Flash.data, SaveRam());
    }
}

// A gzip stream must be whole to its trailer (every kind of damage is the
// reader's test) and hold exactly one state.
TEST_F(MachineState, DamagedOrLongStreamsAreRefusedUntouched) {
    Disturb(3);
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    std::vector<uint8_t> crc = ReadFileBytes(Path("s.sta"));
    crc[crc.size() - 8] ^= 1;
    std::vector<uint8_t> stream = ReadGzip(Path("s.sta"));
    stream.push_back(0);
    Disturb(4);
    std::vector<uint8_t> current = Snapshot();
    WriteFileBytes(Path("crc.sta"), crc);
    EXPECT_FALSE(LoadMachineState(Path("crc.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "damaged gzip data");
    EXPECT_TRUE(Snapshot() == current);
    WriteGzip(Path("long.sta"), stream);
    EXPECT_FALSE(LoadMachineState(Path("long.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "damaged: longer than a state");
    EXPECT_TRUE(Snapshot() == current);
}

// A refused state changes nothing that the battery file is written from: its
// bytes are the same after the run, whether the machine was left alone or reset.
TEST_F(MachineState, RefusedStatesLeaveTheBatteryFileAsItWas) {
    ASSERT_TRUE(SaveMachineState(Path("blank.sta").c_str()));  // empty backup memory
    std::vector<uint8_t> stream = ReadGzip(Path("blank.sta"));
    std::vector<uint8_t> battery(SaveRamSize + EepromDataBytes);
    for (size_t i = 0; i < battery.size(); ++i) battery[i] = static_cast<uint8_t>(i * 7 + 1);
    struct Candidate {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Candidate> candidates = {
        {"cut inside SRAM", std::vector<uint8_t>(stream.begin(), stream.end() - 1)},
        {"impossible EEPROM record", stream},
        {"header only (reset)", std::vector<uint8_t>(stream.begin(), stream.begin() + 16)},
        {"impossible machine block (reset)", stream},
    };
    candidates[1].bytes[EepromAt + 528] = 8;
    candidates[3].bytes[MachineAt] = 3;
    for (const Candidate& c : candidates) {
        WriteFileBytes(dir.File("game.sav"), battery);
        Boot();
        WriteFileBytes(Path("refused.sta"), c.bytes);
        EXPECT_FALSE(LoadMachineState(Path("refused.sta").c_str())) << c.what;
        Headless::StopMachine();
        EXPECT_EQ(ReadFileBytes(dir.File("game.sav")), battery) << c.what;
    }
    Boot();
}

TEST_F(MachineState, ReasonsForRefusals) {
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    WriteFileBytes(Path("text.sta"), {'h', 'e', 'l', 'l', 'o'});
    EXPECT_FALSE(LoadMachineState(Path("text.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "not a machine state");
    std::vector<uint8_t> other = ReadGzip(Path("s.sta"));
    other[5] ^= 1;
    WriteFileBytes(Path("other.sta"), other);
    EXPECT_FALSE(LoadMachineState(Path("other.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "another cartridge's state");
    EXPECT_TRUE(LoadMachineState(Path("s.sta").c_str()));
    EXPECT_EQ(StateLoadFailure, "");
}

TEST_F(MachineState, ImpossibleFieldsAreRefused) {
    Disturb(5);
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    std::vector<uint8_t> stream = ReadGzip(Path("s.sta"));
    ASSERT_TRUE(LoadMachineState(Path("s.sta").c_str()));
    ResetMachine();
    std::vector<uint8_t> reset = Snapshot();

    struct Patch {
        const char* what;
        size_t at;
        uint32_t value;
        bool resets;  // else the machine is left untouched
    };
    const Patch patches[] = {
        {"slice quantum", CpuAt + 41 * 4, 961, true},
        {"cycle budget", CpuAt + 42 * 4, 0x80000000u, true},
        {"parked budget", CpuAt + 43 * 4, 0x7FFFFFFFu, true},
        {"flash command state", FlashAt + 4, 7, true},
        {"flash identification mode", FlashAt + 5, 2, true},
        {"EEPROM header bits", EepromAt + 528, 8, false},
        {"EEPROM data bits", EepromAt + 529, 65, false},
        {"EEPROM leading zeros", EepromAt + 530, 5, false},
        {"EEPROM block offset", EepromAt + 532, 512, false},
        {"EEPROM unaligned block offset", EepromAt + 532, 12, false},
        {"halt state", MachineAt + 0, 3, true},
        {"negative halt state", MachineAt + 0, 0xFFFFFFFFu, true},
        {"BgOrder with a background twice", MachineAt + 16, 0x20000000u, true},
        {"BgOrder priority bits", MachineAt + 16, 0x70000000u, true},
        {"BgOrder beyond the control register", MachineAt + 20, 0x20010000u, true},
        {"timer divisor", MachineAt + 32, 3, true},
        {"timer countdown above the divisor", MachineAt + 32 + 8 + 16, 65, true},
        {"negative timer countdown", MachineAt + 48 + 8, 0xFFFFFFFFu, true},
        {"BG2 LX beyond 28 bits", MachineAt + 64, 0x08000000u, true},
        {"BG3 Y far away", MachineAt + 96 + 12, 0x40000000u, true},
        {"BG2 PA beyond 16 bits", MachineAt + 64 + 16, 0x00010000u, true},
    };
    for (const Patch& p : patches) {
        std::vector<uint8_t> crafted = stream;
        StoreLe32(&crafted[p.at], p.value);
        WriteGzip(Path("crafted.sta"), crafted);
        ASSERT_TRUE(LoadMachineState(Path("s.sta").c_str()));
        Cpu.r[5] = 1;
        EXPECT_FALSE(LoadMachineState(Path("crafted.sta").c_str())) << p.what;
        if (p.resets)
            EXPECT_TRUE(Snapshot() == reset) << p.what;
        else
            EXPECT_EQ(Cpu.r[5], 1u) << p.what << ": nothing applied";
        EXPECT_NE(StateLoadFailure.find("impossible value"), std::string::npos) << p.what;
    }
}

TEST_F(MachineState, FailedSaveKeepsThePreviousFile) {
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    std::vector<uint8_t> good = ReadFileBytes(Path("s.sta"));
    Disturb(1);
    bool saved;
    {
        FileSizeLimit limit(16);
        saved = SaveMachineState(Path("s.sta").c_str());
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFileBytes(Path("s.sta")), good);
    EXPECT_FALSE(SaveMachineState(Path("missing-folder/s.sta").c_str()));
}

TEST_F(MachineState, RunnerCarriesAStateFromOneRunToTheNext) {
    game = dir.File("roundtrip.gba");
    WriteFileBytes(game, ReadFileBytes(ProgramPath("save_roundtrip")));
    std::string whole = RunRunner("--frames 30 --regs " + game).output;
    std::remove(dir.File("roundtrip.sav").c_str());  // each run starts with empty backup memory
    std::string first = RunRunner("--frames 12 --save-state " + Path("r.sta") + " " + game).output;
    std::remove(dir.File("roundtrip.sav").c_str());
    EXPECT_EQ(first, "");
    std::string second = RunRunner("--load-state " + Path("r.sta") + " --frames 18 --regs " + game).output;
    EXPECT_NE(whole.find("R15="), std::string::npos) << whole;
    EXPECT_EQ(second, whole);
    EXPECT_NE(RunRunner("--load-state " + Path("absent.sta") + " " + game).output.find("cannot load the state"),
              std::string::npos);
}

TEST_F(MachineState, NothingToSaveOrLoadWithoutAMachine) {
    ASSERT_TRUE(SaveMachineState(Path("s.sta").c_str()));
    Headless::StopMachine();
    EXPECT_FALSE(SaveMachineState(Path("t.sta").c_str()));
    EXPECT_FALSE(LoadMachineState(Path("s.sta").c_str()));
    Boot();
}

// A state saved by the program before the larger backup chips existed
// (tests/machine/reference, save_roundtrip after 37 frames) still loads, and
// saving it again gives the same stream byte for byte: the files of a
// cartridge with the 64 KB and 512-byte memories are unchanged.
TEST_F(MachineState, EarlierStateOfTheSameMemoriesSavesBackByteForByte) {
    game = dir.File("roundtrip.gba");
    WriteFileBytes(game, ReadFileBytes(ProgramPath("save_roundtrip")));
    Boot();
    const std::string reference =
        std::string(TAMBORIL_SOURCE_DIR) + "/tests/machine/reference/save_roundtrip_frame37.sta";
    ASSERT_TRUE(LoadMachineState(reference.c_str())) << StateLoadFailure;
    ASSERT_TRUE(SaveMachineState(Path("again.sta").c_str()));
    std::vector<uint8_t> earlier = ReadGzip(reference);
    ASSERT_EQ(earlier.size(), StateBytes);
    EXPECT_TRUE(ReadGzip(Path("again.sta")) == earlier);
}

}  // namespace

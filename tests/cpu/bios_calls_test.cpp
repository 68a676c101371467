// bios_calls_test.cpp - call numbers, BIOS image entry, memory resets, halting,
// the waiting calls and the trace lines of the software interrupts.
#include <string>

#include "bios_fixture.h"
#include "headless.h"

namespace {

constexpr uint32_t CheckFlags = 0x03007FF8;

using SoftwareInterrupt = BiosTest;

TEST_F(SoftwareInterrupt, NumberComesFromTheLowOrTheShiftedComment) {
    Call(0x060000, 7, 2);
    EXPECT_EQ(Cpu.r[0], 3u) << "ARM code may write SWI n << 16";
    Call(0x06, 9, 2);
    EXPECT_EQ(Cpu.r[0], 4u);
    Call(0x10000, 9, 2);
    EXPECT_EQ(Cpu.r[0], 9u) << "0x10000 itself is not shifted and names no call";
}

TEST_F(SoftwareInterrupt, LoadedBiosImageIsEnteredInsteadOfEmulated) {
    BiosLoaded = true;
    Cpu.cpsr = ModeSystem | FlagT | FlagC;
    Cpu.r[13] = 0x03007F00;
    Cpu.r[15] = 0x08000102;
    Call(0x06, 7, 2);
    BiosLoaded = false;
    EXPECT_EQ(Cpu.r[0], 7u) << "the call itself is left to the BIOS";
    EXPECT_EQ(Cpu.cpsr & ModeMask, ModeSupervisor);
    EXPECT_EQ(Cpu.cpsr & FlagT, 0u);
    EXPECT_EQ(Cpu.bank[BankWord::SpsrSvc - BankWord::Reserved17], ModeSystem | FlagT | FlagC);
    EXPECT_EQ(Cpu.r[14], 0x08000102u);
    EXPECT_EQ(Cpu.r[15], 0x08u);
}

TEST_F(SoftwareInterrupt, RegisterRamResetClearsTheSelectedRegions) {
    Fill(0x02000000, 4, 0xAA);
    Fill(0x0203FFFC, 4, 0xAA);
    Fill(0x03007DFC, 8, 0xAA);
    Fill(0x05003FFC, 4, 0xAA);
    Fill(0x06017FFC, 4, 0xAA);
    Fill(0x07003FFC, 4, 0xAA);
    Call(0x01, 0x04);
    EXPECT_EQ(PeekWord(0x05003FFC), 0u) << "bit 2: palette";
    EXPECT_EQ(PeekWord(0x02000000), 0xAAAAAAAAu) << "other regions untouched";
    EXPECT_EQ(PeekWord(0x06017FFC), 0xAAAAAAAAu);

    Call(0x01, 0x1B);
    EXPECT_EQ(PeekWord(0x02000000), 0u);
    EXPECT_EQ(PeekWord(0x0203FFFC), 0u) << "all 256 KB of external work RAM";
    EXPECT_EQ(PeekWord(0x03007DFC), 0u);
    EXPECT_EQ(PeekWord(0x03007E00), 0xAAAAAAAAu) << "the top 512 bytes of internal work RAM survive";
    EXPECT_EQ(PeekWord(0x06017FFC), 0u) << "all 96 KB of VRAM";
    EXPECT_EQ(PeekWord(0x07003FFC), 0u);
    EXPECT_EQ(Cpu.r[0], 0x1Bu) << "registers unchanged";
    EXPECT_EQ(Cpu.r[15], 0x08000104u);
}

TEST_F(SoftwareInterrupt, SoftResetRestartsInCartridgeOrWorkRam) {
    Fill(0x02000010, 4, 0xAA);
    MemWrite8(0x03007FFA, 0);
    Cpu.cpsr = ModeSystem;
    Call(0x00, 0x01, 5, 6, 7);
    EXPECT_EQ(Cpu.r[15], 0x08000000u);
    EXPECT_EQ(Cpu.cpsr, 0xD3u);
    EXPECT_EQ(Cpu.r[0], 0u);
    EXPECT_EQ(Cpu.r[3], 0u);
    EXPECT_EQ(PeekWord(0x02000010), 0u) << "R0 bit 0 cleared external work RAM";

    MemWrite8(0x03007FFA, 1);
    Call(0x00, 0x02);
    EXPECT_EQ(Cpu.r[15], 0x02000000u) << "the target byte is read before internal work RAM is cleared";
}

TEST_F(SoftwareInterrupt, SoftResetFromThumbLeavesTheThumbLoop) {
    Cpu.cpsr = ModeSystem | FlagT;
    Cpu.r[15] = 0x08000102;
    Cpu.cycleBudget = 500;
    Call(0x00, 0);
    EXPECT_EQ(Cpu.cpsr & FlagT, 0u);
    EXPECT_LE(Cpu.cycleBudget, 0) << "the inner loop must end and re-select ARM state";
    EXPECT_EQ(Cpu.breakFlag, 1u) << "the slice goes on with its budget parked";
}

TEST_F(SoftwareInterrupt, HaltAndStopWriteHaltControl) {
    Call(0x03, 0);
    EXPECT_EQ(PeekByte(0x04000301), 0x80u);
    Call(0x02, 0);
    EXPECT_EQ(PeekByte(0x04000301), 0u);
}

TEST_F(SoftwareInterrupt, CallsWithoutEffectChangeNothing) {
    Fill(0x02000000, 16, 0x11);
    for (uint32_t number : {0x0Du, 0x10u, 0x19u, 0x1Fu, 0x25u, 0x26u, 0x27u, 0x29u, 0x2Au, 0xFFu}) {
        Call(number, 0x02000000, 0x02000000, 4, 0x02000000);
        EXPECT_EQ(Cpu.r[0], 0x02000000u) << number;
        EXPECT_EQ(Cpu.r[2], 4u) << number;
        EXPECT_EQ(Cpu.r[15], 0x08000104u) << number;
    }
    EXPECT_EQ(PeekWord(0x02000000), 0x11111111u);
}

// The waiting calls are driven here the way the run loop drives them: after a
// rewind R15 points at the SWI, and executing it again advances R15 past it.
class WaitingCall : public BiosTest {
protected:
    static void RunAgain(uint32_t comment, uint32_t width = 4) {
        Cpu.r[15] += width;
        ExecuteSwi(Cpu, comment);
    }
    static uint32_t Flags() { return PeekHalf(CheckFlags); }
};

TEST_F(WaitingCall, VBlankIntrWaitReturnsOnlyAfterTheHandlerSetBitZero) {
    MemWrite16(CheckFlags, 0x0003);
    Cpu.cycleBudget = 400;
    Call(0x050000, 0);
    EXPECT_EQ(Cpu.r[15], 0x08000100u) << "rewound onto the SWI";
    EXPECT_EQ(Cpu.cycleBudget, 0) << "the slice ends";
    EXPECT_EQ(WaitMarker, 0x08000104u);
    EXPECT_EQ(Flags(), 0x0002u) << "a stale V-blank flag is cleared when the wait starts";

    RunAgain(0x050000);
    EXPECT_EQ(Cpu.r[15], 0x08000100u) << "still waiting";

    MemWrite16(CheckFlags, Flags() | 0x0001);  // the game's V-blank handler
    RunAgain(0x050000);
    EXPECT_EQ(Cpu.r[15], 0x08000104u) << "continues after the SWI";
    EXPECT_EQ(Flags(), 0x0002u) << "only the consumed bit is cleared";
    EXPECT_EQ(WaitMarker, 0u);
}

TEST_F(WaitingCall, ThumbSwiFiveWaitsForVBlankAndRewindsTwoBytes) {
    Cpu.cpsr = ModeSystem | FlagT;
    Cpu.r[15] = 0x08000202;
    Call(0x05, 0);
    EXPECT_EQ(Cpu.r[15], 0x08000200u);
    EXPECT_EQ(WaitMarker, 0x08000202u);
    MemWrite16(CheckFlags, 0x0001);
    RunAgain(0x05, 2);
    EXPECT_EQ(Cpu.r[15], 0x08000202u);
    EXPECT_EQ(Flags(), 0u);
}

TEST_F(WaitingCall, IntrWaitWithoutDiscardTakesAnAlreadyRaisedFlagOnTheSecondPass) {
    MemWrite16(CheckFlags, 0x0004);
    Call(0x04, 0, 0x0004);
    EXPECT_EQ(Cpu.r[15], 0x08000100u) << "the first pass always waits";
    EXPECT_EQ(Flags(), 0x0004u) << "R0 = 0 keeps the raised flag";
    RunAgain(0x04);
    EXPECT_EQ(Cpu.r[15], 0x08000104u);
    EXPECT_EQ(Flags(), 0u);
}

TEST_F(WaitingCall, IntrWaitWithDiscardWaitsForANewFlag) {
    MemWrite16(CheckFlags, 0x0006);
    Call(0x04, 1, 0x0004);
    EXPECT_EQ(Flags(), 0x0002u) << "wanted bits cleared first";
    RunAgain(0x04);
    EXPECT_EQ(Cpu.r[15], 0x08000100u);
    MemWrite16(CheckFlags, 0x000C);
    RunAgain(0x04);
    EXPECT_EQ(Cpu.r[15], 0x08000104u);
    EXPECT_EQ(Flags(), 0x0008u);
}

TEST_F(WaitingCall, AWaitAtAnotherAddressStartsAfresh) {
    Call(0x05, 0);  // abandoned: never executed again
    MemWrite16(CheckFlags, 0x0001);
    Cpu.r[15] = 0x08000304;
    Call(0x05, 0);
    EXPECT_EQ(WaitMarker, 0x08000304u);
    EXPECT_EQ(Cpu.r[15], 0x08000300u) << "a new wait does not take the old flag";
    EXPECT_EQ(Flags(), 0u);
}

class CallTrace : public BiosTest {
protected:
    void SetUp() override {
        BiosTest::SetUp();
        DebugFlags = 0x20;
        Headless::ClearConsoleText();
    }
    static std::string Text() { return Headless::ConsoleText(); }
};

TEST_F(CallTrace, EachCallPrintsItsLine) {
    MemWrite16(0x02000000, 0x1234);
    Call(0x01, 0x1C);
    Call(0x02, 0);
    Call(0x06, static_cast<uint32_t>(-7), 2);
    Call(0x07, 2, static_cast<uint32_t>(-7));
    Call(0x08, 4000000000u);
    Call(0x09, 0x4000);
    Call(0x0A, 0x2000, static_cast<uint32_t>(-0x4000));
    Call(0x0B, 0x02000000, 0x02000100, 0x01000004);
    Call(0x0C, 0x02000000, 0x02000200, 2);
    Call(0x0E, 0x02000000, 0x02000300, 0);
    Call(0x0F, 0x02000000, 0x02000400, 0, static_cast<uint32_t>(-8));
    Call(0x10, 1, 2, 3);
    Call(0x12, 0x02000000, 0x06000000);
    Call(0x13, 0x02000000, 0x06000000);
    Call(0x14, 0x02000000, 0x06000000);
    Call(0x17, 0x02000000, 0x06000000);
    Call(0x18, 0x02000000, 0x06000000);
    EXPECT_EQ(Text(),
              "BIOS #0x01: RegisterRAMReset(0x0000001C)\n"
              "BIOS #0x02: Halt()\n"
              "BIOS #0x06: Div(-7,2)\n"
              "BIOS #0x07: DivARM(2,-7)\n"
              "BIOS #0x08: Sqrt(4000000000)\n"
              "BIOS #0x09: ArcTan(1.000000)\n"
              "BIOS #0x0A: ArcTan2(0.500000,-1.000000)\n"
              "BIOS #0x0B: CPUSet(0x02000000,0x02000100,0x01000004)\n"
              "CPUSet: 02000000-02000000 -> 02000100-02000106 (16bit)\n"
              "BIOS #0x0C: CPUFastSet(0x02000000,0x02000200,0x00000002)\n"
              "CPUFastSet: 02000000-02000004 -> 02000200-02000204 (32bit)\n"
              "BIOS #0x0E: BgAffineSet(0x02000000,0x02000300,0)\n"
              "BIOS #0x0F: ObjAffineSet(0x02000000,0x02000400,0,-8)\n"
              "BIOS #0x10: BitUnPack(0x00000001,0x00000002,0x00000003)\n"
              "BIOS #0x12: LZ77UnCompVRAM(0x02000000,0x06000000)\n"
              "BIOS #0x13: HuffUnComp(0x02000000,0x06000000)\n"
              "BIOS #0x14: RLUnCompWRAM(0x02000000,0x06000000)\n"
              "BIOS #0x17: Diff8bitUnFilterVRAM(0x02000000,0x06000000)\n"
              "BIOS #0x18: Diff16bitUnFilter(0x02000000,0x06000000)\n");
}

TEST_F(CallTrace, LoggedOnlyAndUnhandledCalls) {
    Call(0x1F, 0x0300ABCD, 60, 7);
    Call(0x20, 1, 2, 3);
    Call(0x24, 0xFF, 16);
    Call(0x1C, 0);
    Call(0x29, 0);
    Call(0x0D, 0);
    Call(0x270000, 0);
    EXPECT_EQ(Text(),
              "BIOS #0x1F: MIDIKey2Freq(0x0300ABCD,60,7)\n"
              "BIOS #0x20: MusicPlayerOpen(0x00000001,0x00000002,3)\n"
              "BIOS #0x24: MusicPlayerFadeOut(0x000000FF,16)\n"
              "BIOS #0x1C: SoundDriverMain()\n"
              "BIOS #0x29: SoundDriverVSyncOn()\n"
              "ARM: Called SWI #0x0D at PC=0x08000104\n"
              "ARM: Called SWI #0x27 at PC=0x08000104\n");
}

TEST_F(CallTrace, WaitsPrintOnlyWhenTheyStart) {
    Call(0x04, 1, 0x2001);
    Cpu.r[15] += 4;
    ExecuteSwi(Cpu, 0x04);
    Cpu.r[15] = 0x08000404;
    Call(0x05, 0);
    EXPECT_EQ(Text(),
              "BIOS #0x04: IntrWait(0x00000001,0x00002001)\n"
              "BIOS #0x05: VBlankIntrWait()\n");
}

TEST_F(CallTrace, SilentWhenTheBitIsClear) {
    DebugFlags = 0x1F;
    Call(0x06, 7, 2);
    Call(0x0D, 0);
    EXPECT_EQ(Text(), "");
}

}  // namespace

// bios.cpp - software interrupts: the call dispatcher, its trace lines, the
// memory resets and the calls that wait for interrupts.
//
// With a BIOS image loaded every SWI enters it through the Supervisor vector.
// Without one the call is performed here in host code, in the mode and state
// the game called it from, and execution continues after the SWI. The call
// number is the comment field, or its top byte when ARM code wrote the number
// as SWI n << 16.
//
// The waiting calls (IntrWait, VBlankIntrWait) keep no state beyond
// WaitMarker. A wait is a loop over the SWI itself:
//
//     new wait  --(trace, clear wanted flags, WaitMarker := R15, rewind)-->  waiting
//     waiting   --(flags AND wanted = 0: rewind)-->                          waiting
//     waiting   --(flags AND wanted != 0: clear them, WaitMarker := 0)-->    done
//
// "Rewind" moves R15 back onto the SWI and ends the slice, so the SWI runs
// again at the next slice; in between, interrupts are taken and the game's
// handler sets the check flags at 0x03007FF8.
#include "bios.h"

#include <cstring>

#include "../machine/cartridge.h"
#include "../machine/console.h"
#include "../machine/memory.h"
#include "bios_calls.h"

uint32_t WaitMarker;

namespace {

// Interrupt-check flags the game's handler sets, and the SoftReset target
// selector, both in the top of internal work RAM.
constexpr uint32_t CheckFlagsOffset = 0x7FF8;
constexpr uint32_t ResetTargetOffset = 0x7FFA;
// RegisterRamReset keeps the top 512 bytes of internal work RAM (interrupt
// vector, the check flags and the tops of the stacks).
constexpr uint32_t InternalRamClearSize = 0x7E00;

constexpr uint32_t HaltControl = 0x04000301;

// Trace lines of the calls 0x19-0x29 that are only logged; arguments R0, R1,
// R2 (a line uses as many as it names). Null entries are unhandled numbers.
constexpr const char* LoggedCalls[] = {
    "BIOS #0x%02X: SoundBiasChange(0x%08X)\n",
    "BIOS #0x%02X: SoundDriverInit(0x%08X)\n",
    "BIOS #0x%02X: SoundDriverMode(0x%08X)\n",
    "BIOS #0x%02X: SoundDriverMain()\n",
    "BIOS #0x%02X: SoundDriverVSync()\n",
    "BIOS #0x%02X: SoundChannelClear()\n",
    "BIOS #0x%02X: MIDIKey2Freq(0x%08X,%u,%u)\n",
    "BIOS #0x%02X: MusicPlayerOpen(0x%08X,0x%08X,%u)\n",
    "BIOS #0x%02X: MusicPlayerStart(0x%08X,0x%08X)\n",
    "BIOS #0x%02X: MusicPlayerStop(0x%08X)\n",
    "BIOS #0x%02X: MusicPlayerContinue(0x%08X)\n",
    "BIOS #0x%02X: MusicPlayerFadeOut(0x%08X,%u)\n",
    "BIOS #0x%02X: MultiBoot(0x%08X)\n",
    nullptr,
    nullptr,
    "BIOS #0x%02X: SoundDriverVSyncOff()\n",
    "BIOS #0x%02X: SoundDriverVSyncOn()\n",
};
constexpr uint32_t FirstLoggedCall = 0x19;
constexpr uint32_t LoggedCallCount = sizeof LoggedCalls / sizeof LoggedCalls[0];

// Zeroes the regions selected by the low five bits of `which`.
void ClearMemory(uint32_t which) {
    if (which & 0x01) std::memset(ExternalRam(), 0, ExternalRamSize);
    if (which & 0x02) std::memset(InternalRam(), 0, InternalRamClearSize);
    if (which & 0x04) std::memset(PaletteRam(), 0, PaletteSize);
    if (which & 0x08) std::memset(VideoRam(), 0, VideoRamSize);
    if (which & 0x10) std::memset(ObjectRam(), 0, ObjectRamSize);
}

void SoftReset(CpuState& cpu) {
    bool toWorkRam = InternalRam()[ResetTargetOffset] != 0;
    ClearMemory(cpu.r[0]);
    CpuReset(cpu);
    cpu.r[15] = toWorkRam ? 0x02000000 : 0x08000000;
    // The reset state is ARM; a call from Thumb code must not go on running
    // the new code in the Thumb loop, so the loop re-selects the state.
    BreakInnerLoop(cpu);
}

void WaitForInterrupt(CpuState& cpu, uint32_t number, uint32_t wanted) {
    uint8_t* flags = InternalRam() + CheckFlagsOffset;
    if (WaitMarker == cpu.r[15]) {
        uint32_t raised = Load16(flags) & wanted;
        if (raised) {
            Store16(flags, Load16(flags) & ~raised);
            WaitMarker = 0;
            return;
        }
        RewindInstruction(cpu);
        return;
    }
    bool intrWait = number == 0x04;
    if (Bios::Tracing()) {
        if (intrWait)
            ConsolePrintf("BIOS #0x%02X: IntrWait(0x%08X,0x%08X)\n", number, cpu.r[0], cpu.r[1]);
        else
            ConsolePrintf("BIOS #0x%02X: VBlankIntrWait()\n", number);
    }
    // IntrWait with R0 = 0 accepts a flag that was raised before the call.
    if (!intrWait || cpu.r[0] != 0) Store16(flags, Load16(flags) & ~wanted);
    WaitMarker = cpu.r[15];
    RewindInstruction(cpu);
}

void LogCall(uint32_t number, const uint32_t* r) {
    if (!Bios::Tracing()) return;
    const char* line = nullptr;
    if (number >= FirstLoggedCall && number - FirstLoggedCall < LoggedCallCount)
        line = LoggedCalls[number - FirstLoggedCall];
    if (line)
        ConsolePrintf(line, number, r[0], r[1], r[2]);
    else
        ConsolePrintf("ARM: Called SWI #0x%02X at PC=0x%08X\n", number, r[15]);
}

// 'W' for the work-RAM variant of a decompressor, 'V' for the VRAM one.
char Variant(uint32_t number, uint32_t workRamNumber) { return number == workRamNumber ? 'W' : 'V'; }

}  // namespace

void ExecuteSwi(CpuState& cpu, uint32_t comment) {
    if (BiosLoaded) {
        EnterSupervisorCall(cpu);
        return;
    }
    const uint32_t number = comment > 0x10000 ? comment >> 16 : comment;
    uint32_t* r = cpu.r;
    const bool trace = Bios::Tracing();
    switch (number) {
    case 0x00:
    case 0x01:
        if (trace) ConsolePrintf("BIOS #0x%02X: %sReset(0x%08X)\n", number, number ? "RegisterRAM" : "Soft", r[0]);
        if (number == 0x00)
            SoftReset(cpu);
        else
            ClearMemory(r[0]);
        return;
    case 0x02:
        if (trace) ConsolePrintf("BIOS #0x%02X: Halt()\n", number);
        MemWrite8(HaltControl, 0);
        return;
    case 0x03:
        if (trace) ConsolePrintf("BIOS #0x%02X: Stop()\n", number);
        MemWrite8(HaltControl, 0x80);
        return;
    case 0x04: WaitForInterrupt(cpu, number, r[1]); return;
    case 0x05: WaitForInterrupt(cpu, number, 1); return;
    case 0x06:
        if (trace)
            ConsolePrintf("BIOS #0x%02X: Div(%d,%d)\n", number, static_cast<int32_t>(r[0]), static_cast<int32_t>(r[1]));
        Bios::Divide(cpu, r[0], r[1]);
        return;
    case 0x07:
        if (trace)
            ConsolePrintf("BIOS #0x%02X: DivARM(%d,%d)\n", number, static_cast<int32_t>(r[0]),
                          static_cast<int32_t>(r[1]));
        Bios::Divide(cpu, r[1], r[0]);
        return;
    case 0x08:
        if (trace) ConsolePrintf("BIOS #0x%02X: Sqrt(%u)\n", number, r[0]);
        Bios::SquareRoot(cpu);
        return;
    case 0x09:
        if (trace) ConsolePrintf("BIOS #0x%02X: ArcTan(%f)\n", number, static_cast<int16_t>(r[0]) / 16384.0);
        Bios::ArcTangent(cpu);
        return;
    case 0x0A:
        if (trace)
            ConsolePrintf("BIOS #0x%02X: ArcTan2(%f,%f)\n", number, static_cast<int16_t>(r[0]) / 16384.0,
                          static_cast<int16_t>(r[1]) / 16384.0);
        Bios::ArcTangent2(cpu);
        return;
    case 0x0B:
        if (trace) ConsolePrintf("BIOS #0x%02X: CPUSet(0x%08X,0x%08X,0x%08X)\n", number, r[0], r[1], r[2]);
        Bios::CpuSet(cpu);
        return;
    case 0x0C:
        if (trace) ConsolePrintf("BIOS #0x%02X: CPUFastSet(0x%08X,0x%08X,0x%08X)\n", number, r[0], r[1], r[2]);
        Bios::CpuFastSet(cpu);
        return;
    case 0x0E:
        if (trace)
            ConsolePrintf("BIOS #0x%02X: BgAffineSet(0x%08X,0x%08X,%d)\n", number, r[0], r[1],
                          static_cast<int32_t>(r[2]));
        Bios::BgAffineSet(cpu);
        return;
    case 0x0F:
        if (trace)
            ConsolePrintf("BIOS #0x%02X: ObjAffineSet(0x%08X,0x%08X,%d,%d)\n", number, r[0], r[1],
                          static_cast<int32_t>(r[2]), static_cast<int32_t>(r[3]));
        Bios::ObjAffineSet(cpu);
        return;
    case 0x10:
        if (trace) ConsolePrintf("BIOS #0x%02X: BitUnPack(0x%08X,0x%08X,0x%08X)\n", number, r[0], r[1], r[2]);
        return;
    case 0x11:
    case 0x12:
        if (trace)
            ConsolePrintf("BIOS #0x%02X: LZ77UnComp%cRAM(0x%08X,0x%08X)\n", number, Variant(number, 0x11), r[0], r[1]);
        Bios::Lz77UnComp(r[0], r[1]);
        return;
    case 0x13:
        if (trace) ConsolePrintf("BIOS #0x%02X: HuffUnComp(0x%08X,0x%08X)\n", number, r[0], r[1]);
        Bios::HuffUnComp(r[0], r[1]);
        return;
    case 0x14:
    case 0x15:
        if (trace)
            ConsolePrintf("BIOS #0x%02X: RLUnComp%cRAM(0x%08X,0x%08X)\n", number, Variant(number, 0x14), r[0], r[1]);
        Bios::RunLengthUnComp(r[0], r[1]);
        return;
    case 0x16:
    case 0x17:
        if (trace)
            ConsolePrintf("BIOS #0x%02X: Diff8bitUnFilter%cRAM(0x%08X,0x%08X)\n", number, Variant(number, 0x16), r[0],
                          r[1]);
        Bios::Diff8bitUnFilter(r[0], r[1]);
        return;
    case 0x18:
        if (trace) ConsolePrintf("BIOS #0x%02X: Diff16bitUnFilter(0x%08X,0x%08X)\n", number, r[0], r[1]);
        Bios::Diff16bitUnFilter(r[0], r[1]);
        return;
    default: LogCall(number, r); return;
    }
}

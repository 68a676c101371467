// dma.cpp - the four DMA channels: arming through CNT_H and whole transfers.
//
// A transfer runs to completion in one call, unit by unit through the bus
// operations, so its cost lands in the CPU's cycle budget and its writes take
// their normal routes (I/O, EEPROM, backup memory). The special timing of
// channels 1 and 2 never transfers here: it arms the direct-sound feed.
//
// Because a transfer can write DMA control registers, one transfer can start
// another, and timed transfers can cost more than the lines that start them
// (65536 words of DMA3 every line). Three rules keep the host and the CPU's
// cycle budget bounded:
//   1. a channel never starts again while its own transfer is running;
//   2. a transfer started from inside another one is refused once the CPU's
//      budget is more than DebtLimit cycles in debt, so chains of channels
//      restarting each other end instead of running unboundedly;
//   3. a transfer that the CPU or the scanline step starts while the budget is
//      more than DebtLimit cycles in debt still runs, but the debt beyond the
//      limit is forgiven first, so the budget can never overflow.
// The debt stays far below the limit in any ordinary run (it is about 60
// frames of emulated time), so none of the rules changes an ordinary
// transfer's timing. With at most four transfers in progress, each costing
// at most 65536 x 36 cycles, the budget stays above -(DebtLimit + 2^24).
#include "dma.h"

#include "../cpu/cpu.h"
#include "console.h"
#include "eeprom.h"
#include "io.h"
#include "timers.h"

namespace {

struct ChannelLimits {
    uint32_t sourceMask;
    uint32_t destinationMask;
    uint32_t countMask;  // a count of 0 means countMask + 1 units
};
constexpr ChannelLimits Limits[4] = {{0x07FFFFFF, 0x07FFFFFF, 0x3FFF},
                                     {0x0FFFFFFF, 0x07FFFFFF, 0x3FFF},
                                     {0x0FFFFFFF, 0x07FFFFFF, 0x3FFF},
                                     {0x0FFFFFFF, 0x0FFFFFFF, 0xFFFF}};

constexpr const char* TimingNames[4] = {"Immediate", "VBlank", "HBlank", "Special"};

// About 60 frames of emulated time.
constexpr int32_t DebtLimit = 1 << 24;

bool Running[4];
int RunningCount;

inline uint32_t Register(int channel, uint32_t field) {
    return Reg::DMA0SAD + Reg::DMA_STRIDE * static_cast<uint32_t>(channel) + field;
}

// Address steps in units, by destination control (3 increments without
// write-back) and by source control (3 is fixed like 2).
constexpr int32_t DestinationSteps[4] = {1, -1, 0, 1};
constexpr int32_t SourceSteps[4] = {1, -1, 0, 0};

template <typename Read, typename Write>
inline void Copy(uint32_t& src, uint32_t& dst, uint32_t count, uint32_t srcStep, uint32_t dstStep,
                 const ChannelLimits& limits, Read read, Write write) {
    for (uint32_t i = 0; i < count; ++i) {
        write(dst, read(src));
        src = (src + srcStep) & limits.sourceMask;
        dst = (dst + dstStep) & limits.destinationMask;
    }
}

// The DMA trace line; out of line so that the transfer path keeps its values in registers.
[[gnu::cold, gnu::noinline]] void TraceTransfer(int channel, uint32_t src, uint32_t dst, uint32_t count,
                                                uint32_t control) {
    uint32_t unit = (control & 0x400) ? 4 : 2;
    uint32_t srcStep = static_cast<uint32_t>(SourceSteps[(control >> 7) & 3]) * unit;
    uint32_t dstStep = static_cast<uint32_t>(DestinationSteps[(control >> 5) & 3]) * unit;
    ConsolePrintf("DMA%d: %08X-%08X -> %08X-%08X (%dbit,%s%s%s) at line %d\n", channel, src,
                  src + srcStep * (count - 1), dst, dst + dstStep * (count - 1), static_cast<int>(unit * 8),
                  TimingNames[(control >> 12) & 3], (control & 0x4000) ? ",IRQ" : "",
                  (control & 0x200) ? ",Repeat" : "", static_cast<int>(ReadIo(Reg::VCOUNT)));
}

}  // namespace

void WriteDmaControl(int channel, uint32_t value) {
    channel &= 3;
    uint8_t* regs = IoPage() + Register(channel, 0);
    // An enabled channel must be disabled before it can be reprogrammed.
    if (Load16(regs + Reg::DMA_CNT_H) & value & 0x8000) return;
    Store16(regs + Reg::DMA_CNT_H, value);
    bool soundChannel = channel == 1 || channel == 2;
    if (soundChannel) UpdateDirectSound();
    uint32_t timing = value & 0xB000;
    if (timing == 0x8000)
        RunDma(channel);
    else if (timing == 0xB000 && soundChannel)
        Rings[channel - 1].source = Load32(regs) & 0x0FFFFFFC;
}

void RunDma(int channel) {
    channel &= 3;
    if (Running[channel]) return;
    if (Cpu.cycleBudget < -DebtLimit) [[unlikely]] {
        if (RunningCount > 0) return;
        Cpu.cycleBudget = -DebtLimit;
    }
    const ChannelLimits& limits = Limits[channel];
    uint8_t* regs = IoPage() + Register(channel, 0);  // SAD, DAD, CNT_L, CNT_H
    uint32_t control = Load16(regs + Reg::DMA_CNT_H);
    uint32_t unit = (control & 0x400) ? 4 : 2;
    uint32_t src = Load32(regs) & (limits.sourceMask + 1 - unit);
    uint32_t dst = Load32(regs + Reg::DMA_DAD) & (limits.destinationMask + 1 - unit);
    uint32_t count = Load16(regs + Reg::DMA_CNT_L) & limits.countMask;
    if (count == 0) count = limits.countMask + 1;
    uint32_t destinationControl = (control >> 5) & 3;
    uint32_t srcStep = static_cast<uint32_t>(SourceSteps[(control >> 7) & 3]) * unit;
    uint32_t dstStep = static_cast<uint32_t>(DestinationSteps[destinationControl]) * unit;

    if (DebugFlags & 0x08) [[unlikely]]
        TraceTransfer(channel, src, dst, count, control);
    if (unit == 2 && IsEepromAddress(dst)) NoteEepromTransfer(count);

    Running[channel] = true;
    ++RunningCount;
    if (unit == 4)
        Copy(src, dst, count, srcStep, dstStep, limits, MemRead32, MemWrite32);
    else
        Copy(src, dst, count, srcStep, dstStep, limits, MemRead16, MemWrite16);
    --RunningCount;
    Running[channel] = false;

    if (control & 0x4000) RequestInterrupt(Irq::Dma0 << channel);
    Store32(regs, src);
    if (destinationControl != 3) Store32(regs + Reg::DMA_DAD, dst);
    bool repeats = (control & 0x200) && (control & 0x3000);
    if (!repeats) Store16(regs + Reg::DMA_CNT_H, Load16(regs + Reg::DMA_CNT_H) & ~0x8000u);
}

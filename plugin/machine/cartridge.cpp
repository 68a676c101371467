// cartridge.cpp - stand-in machine start: allocates and maps the regions,
// maps the image read with stdio and starts at the cartridge entry.
#include "cartridge.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "../cpu/cpu.h"
#include "../video/renderer.h"
#include "io.h"
#include "memory.h"
#include "timers.h"

bool BiosLoaded;

namespace {

constexpr uint32_t BiosStub[12] = {0xE3A0F302, 0, 0, 0, 0, 0, 0xE92D500F, 0xE3A00301,
                                   0xE28FE000, 0xE510F004, 0xE8BD500F, 0xE25EF004};

uint8_t* Allocate(uint32_t size) { return static_cast<uint8_t*>(std::calloc(size, 1)); }

uint8_t* Bios;
uint8_t* Regions[9];
uint8_t* Image;

}  // namespace

bool LoadCartridge(const char* path) {
    ClearPageTables();
    DummyRam = Allocate(DummyRamSize);
    Bios = Allocate(BiosSize);
    for (uint32_t i = 0; i < BiosSize; i += 4) Store32(Bios + i, 0x09FE2000);
    for (int i = 0; i < 12; ++i) Store32(Bios + 4 * i, BiosStub[i]);
    MapRegion(Bios, BiosSize, 0, BiosSize, false);
    struct Layout {
        uint32_t size, base, span;
    };
    constexpr Layout layout[] = {{ExternalRamSize, 0x02000000, 0x01000000},
                                 {InternalRamSize, 0x03000000, 0x01000000},
                                 {IoSize, 0x04000000, IoSize},
                                 {PaletteSize, 0x05000000, PaletteSize},
                                 {VideoRamBufferSize, 0x06000000, VideoRamSize},
                                 {ObjectRamSize, 0x07000000, ObjectRamSize},
                                 {SaveRamSize, 0x0E000000, SaveRamSize}};
    int n = 0;
    for (const Layout& l : layout) {
        Regions[n] = Allocate(l.size);
        MapRegion(Regions[n++], l.size, l.base, l.span, true);
    }
    for (DirectSoundRing& r : Rings) r.samples = reinterpret_cast<int8_t*>(Allocate(RingSize));
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    if (size <= 0 || size > static_cast<long>(MaxCartridgeSize)) {
        std::fclose(f);
        return false;
    }
    uint32_t rounded = (static_cast<uint32_t>(size) + PageSize - 1) & ~PageOffsetMask;
    Image = Allocate(rounded);
    bool complete = std::fread(Image, 1, size, f) == static_cast<size_t>(size);
    std::fclose(f);
    if (!complete) return false;
    for (uint32_t base : {0x08000000u, 0x0A000000u, 0x0C000000u}) MapRegion(Image, rounded, base, rounded, false);
    FillEmptyPages(DummyRam);
    ResetMachine();
    return true;
}

void ResetMachine() {
    Cpu.sliceQuantum = 960;
    ResetTimers();
    HaltState = 0;
    uint8_t* io = IoPage();
    std::memset(io, 0, 0x400);
    StoreIo(Reg::KEYINPUT, 0xFFFF);
    StoreIo(Reg::DISPCNT, 0x0080);
    StoreIo(Reg::BG2PA, 0x100);
    StoreIo(Reg::BG2PA + 6, 0x100);
    StoreIo(Reg::BG3PA, 0x100);
    StoreIo(Reg::BG3PA + 6, 0x100);
    for (AffineBackground& a : Affine) a = AffineBackground{0x100, 0, 0, 0x100, 0, 0, 0, 0};
    BlendEva = BlendEvb = BlendEvy = 0;
    ApplyWaitControl(0);
    ResetBgOrder();
    CpuReset(Cpu);
    Store32(InternalRam() + 0x7FFC, 0x28);
    SetCpsr(Cpu, ModeSystem);
    Cpu.breakFlag = 0;
    Cpu.cycleBudget = Cpu.sliceQuantum;
    Cpu.r[13] = 0x03007F00;
    Cpu.r[14] = Cpu.r[15] = 0x08000000;
    Cpu.bank[BankWord::SvcR13 - 17] = 0x03007FE0;
    Cpu.bank[BankWord::IrqR13 - 17] = 0x03007FA0;
}

void ShutdownMachine() {
    std::free(Image);
    std::free(Bios);
    for (uint8_t*& r : Regions) {
        std::free(r);
        r = nullptr;
    }
    for (DirectSoundRing& r : Rings) {
        std::free(r.samples);
        r.samples = nullptr;
    }
    std::free(DummyRam);
    Image = Bios = DummyRam = nullptr;
    ClearPageTables();
}

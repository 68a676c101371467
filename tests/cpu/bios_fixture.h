// bios_fixture.h - a machine booted with no BIOS image for calling ExecuteSwi
// directly, and helpers to place and inspect bytes through the bus.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "cpu/bios.h"
#include "cpu/cpu.h"
#include "machine/cartridge.h"
#include "machine/memory.h"
#include "test_support.h"

class BiosTest : public ::testing::Test {
protected:
    void SetUp() override {
        BootWords(dir, {0xEAFFFFFE});  // B . (idle)
        ASSERT_FALSE(BiosLoaded);
        savedDebugFlags = DebugFlags;
        WaitMarker = 0;
        Cpu.r[15] = 0x08000104;  // just after an ARM SWI at 0x08000100
    }
    void TearDown() override { DebugFlags = savedDebugFlags; }

    // Sets R0-R3 and runs the call.
    static void Call(uint32_t comment, uint32_t r0, uint32_t r1 = 0, uint32_t r2 = 0, uint32_t r3 = 0) {
        Cpu.r[0] = r0;
        Cpu.r[1] = r1;
        Cpu.r[2] = r2;
        Cpu.r[3] = r3;
        ExecuteSwi(Cpu, comment);
    }

    static void Poke(uint32_t address, const std::vector<uint8_t>& bytes) {
        for (uint8_t b : bytes) MemWrite8(address++, b);
    }
    static std::vector<uint8_t> Peek(uint32_t address, size_t count) {
        std::vector<uint8_t> bytes(count);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(PeekByte(address++));
        return bytes;
    }
    static void Fill(uint32_t address, size_t count, uint8_t value) {
        Poke(address, std::vector<uint8_t>(count, value));
    }

    TempDir dir;
    uint32_t savedDebugFlags = 0;
};

// thumb_harness.h - runs hand-placed Thumb instructions one at a time.
//
// Code is written into internal work RAM, where a fetch costs one cycle, so a
// budget of one cycle runs exactly one instruction and what is left of the
// budget afterwards is minus the instruction's cost beyond its fetch.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "cpu/cpu.h"
#include "machine/memory.h"
#include "test_support.h"

constexpr uint32_t ThumbCode = 0x03000000;
constexpr uint32_t ThumbStack = 0x03007F00;
constexpr uint32_t ThumbData = 0x02000000;
constexpr uint32_t FlagsNzcv = FlagN | FlagZ | FlagC | FlagV;

class ThumbMachine : public ::testing::Test {
protected:
    void SetUp() override {
        BootWords(dir, {0xEAFFFFFE});  // B . ; the tests take over the CPU
        for (uint32_t& r : Cpu.r) r = 0;
        Cpu.r[13] = ThumbStack;
        Cpu.cpsr = ModeSystem | FlagT;
    }

    // Writes halfwords from `address` on and points R15 at the first.
    void Load(std::initializer_list<uint16_t> code, uint32_t address = ThumbCode) {
        Cpu.r[15] = address;
        for (uint16_t halfword : code) {
            MemWrite16(address, halfword);
            address += 2;
        }
    }

    // Runs the next instruction; returns the cycles it cost beyond its fetch.
    int Step() {
        Cpu.breakFlag = 0;
        Cpu.cycleBudget = 1;
        RunThumbLoop(Cpu);
        return -Cpu.cycleBudget;
    }

    // Loads straight-line code and runs all of it; returns the cost of the last instruction.
    int Execute(std::initializer_list<uint16_t> code) {
        Load(code);
        int cost = 0;
        for (size_t i = 0; i < code.size(); ++i) cost = Step();
        return cost;
    }

    static void SetFlags(uint32_t nzcv) { Cpu.cpsr = (Cpu.cpsr & ~FlagsNzcv) | nzcv; }
    static uint32_t Flags() { return Cpu.cpsr & FlagsNzcv; }

    TempDir dir;
};

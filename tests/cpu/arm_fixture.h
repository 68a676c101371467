// arm_fixture.h - runs ARM instructions one at a time from internal work RAM.
//
// The machine is booted on an idle cartridge; each instruction under test is
// stored at CodeAddress and executed by the real inner loop with a budget of
// exactly one fetch, so afterwards the budget tells the instruction's cost.
#pragma once

#include <initializer_list>

#include "cpu/arm.h"
#include "cpu/cpu.h"
#include "machine/memory.h"
#include "test_support.h"

class ArmTest : public ::testing::Test {
public:
    static constexpr uint32_t CodeAddress = 0x03001000;
    static constexpr uint32_t DataAddress = 0x02000100;  // external work RAM: word cost 6, halfword 3

protected:
    void SetUp() override {
        BootWords(dir, {0xEAFFFFFE});  // B . (idle)
        for (uint32_t& r : Cpu.r) r = 0;
        Cpu.cpsr = ModeSystem;
    }

    // Runs the words in order as straight-line code starting at CodeAddress.
    void Run(std::initializer_list<uint32_t> words) {
        uint32_t address = CodeAddress;
        for (uint32_t word : words) {
            MemWrite32(address, word);
            address += 4;
        }
        Cpu.r[15] = CodeAddress;
        for (size_t i = 0; i < words.size(); ++i) Step();
    }

    // Executes the instruction at R15; the budget grants exactly its fetch.
    void Step() {
        Cpu.breakFlag = 0;
        Cpu.cycleBudget = AccessCost32[(Cpu.r[15] >> 24) & 0xF];
        RunArmLoop(Cpu);
    }

    // Cycles the last Step charged beyond its fetch (the budget was exactly the fetch).
    int ExtraCycles() const { return -(Cpu.cycleBudget + (Cpu.breakFlag ? Cpu.savedBudget : 0)); }

    // Switches mode through SetCpsr with the flags and the I/F/T bits given.
    void SetMode(uint32_t mode, uint32_t flags = 0) {
        SetCpsr(Cpu, flags | mode);
        Cpu.breakFlag = 0;
    }

    uint32_t Flags() const { return Cpu.cpsr & 0xF0000000; }

    TempDir dir;
};

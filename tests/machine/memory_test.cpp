// memory_test.cpp - the page tables, mirrors, unaligned rules and wait-state costs of the bus.
#include "machine/memory.h"

#include <gtest/gtest.h>

#include "cpu/cpu.h"
#include "machine/io.h"
#include "test_support.h"

namespace {

class MemoryMap : public ::testing::Test {
protected:
    void SetUp() override { BootWords(dir, {0xEAFFFFFE}); }  // B . (idle)
    TempDir dir;
};

TEST_F(MemoryMap, UnalignedWordAccessesRotateAndShift) {
    MemWrite32(0x02000000, 0x11223344);
    EXPECT_EQ(MemRead32(0x02000003), 0x11u);
    EXPECT_EQ(PeekWord(0x02000001), 0x112233u);
    MemWrite32(0x02000003, 0xAABBCCDD);
    EXPECT_EQ(MemRead32(0x02000000), 0xBBCCDDAAu);
    MemWrite16(0x02000011, 0xBEEF);
    EXPECT_EQ(MemRead16(0x02000010), 0xBEEFu);
    EXPECT_EQ(MemRead16(0x02000011), 0xBEu);
}

TEST_F(MemoryMap, WorkRamMirrorsRepeatTheBuffer) {
    MemWrite8(0x02000000, 0x5A);
    EXPECT_EQ(PeekByte(0x02040000), 0x5Au);
    EXPECT_EQ(PeekByte(0x02FC0000), 0x5Au);
    MemWrite32(0x03007FFC, 0xCAFEF00D);
    EXPECT_EQ(PeekWord(0x03FFFFFC), 0xCAFEF00Du);
    EXPECT_EQ(MemRead32(0x13007FFC), 0xCAFEF00Du) << "bus addresses wrap to 28 bits";
}

TEST_F(MemoryMap, StoresToReadOnlyRegionsLandInDummyRam) {
    uint32_t before = PeekWord(0x08000000);
    MemWrite32(0x08000000, 0x12345678);
    EXPECT_EQ(PeekWord(0x08000000), before);
    EXPECT_EQ(PeekWord(0x01000000), 0x12345678u) << "any unmapped page shows Dummy RAM";
    EXPECT_EQ(PeekWord(0x06018000), 0x12345678u) << "VRAM ends at 96 KB";
    MemWrite8(0x00000010, 0x77);
    EXPECT_EQ(PeekByte(0x10000010), 0x77u);
}

TEST_F(MemoryMap, ByteStoreToIoMergesWithTheOtherByte) {
    MemWrite16(0x04000050, 0x1234);  // BLDCNT, plain storage
    MemWrite8(0x04000051, 0xAB);
    EXPECT_EQ(ReadIo(0x050), 0xAB34u);
    MemWrite8(0x04000050, 0xCD);
    EXPECT_EQ(ReadIo(0x050), 0xABCDu);
}

TEST_F(MemoryMap, WaitControlSetsCartridgeCosts) {
    ApplyWaitControl(0);
    EXPECT_EQ(AccessCost16[8], 3);
    EXPECT_EQ(AccessCost32[8], 6);
    EXPECT_EQ(AccessCost16[0xA], 5);
    EXPECT_EQ(AccessCost16[0xC], 9);
    EXPECT_EQ(AccessCost16[0xE], 5);
    ApplyWaitControl(0x4317);
    EXPECT_EQ(AccessCost16[9], 2);
    EXPECT_EQ(AccessCost32[9], 4);
    EXPECT_EQ(AccessCost16[0xB], 5);
    EXPECT_EQ(AccessCost32[0xB], 10);
    EXPECT_EQ(AccessCost16[0xD], 9);
    EXPECT_EQ(AccessCost32[0xD], 18);
    EXPECT_EQ(AccessCost16[0xE], 9);
    EXPECT_EQ(AccessCost32[0xE], 18);
    EXPECT_EQ(AccessCost32[2], 6) << "work RAM costs never change";
}

TEST_F(MemoryMap, BusOperationsChargeTheirCost) {
    int32_t budget = Cpu.cycleBudget;
    MemRead32(0x02000000);
    EXPECT_EQ(Cpu.cycleBudget, budget - 6);
    MemWrite16(0x05000000, 0);
    EXPECT_EQ(Cpu.cycleBudget, budget - 7);
}

TEST_F(MemoryMap, RoutedStoresChargeTheirCostAndReachTheIoHandler) {
    int32_t budget = Cpu.cycleBudget;
    MemWrite32(0x04000050, 0x0A0B1234);  // BLDCNT and BLDALPHA in one word
    EXPECT_EQ(ReadIo(0x050), 0x1234u);
    EXPECT_EQ(ReadIo(0x052), 0x0A0Bu);
    MemWrite32(0x14000052, 0x56780000);  // unaligned, through the 28-bit wrap: rotated, then split
    EXPECT_EQ(ReadIo(0x050), 0x5678u);
    EXPECT_EQ(ReadIo(0x052), 0u);
    MemWrite16(0x04000051, 0x4321);  // an odd halfword address writes the aligned register
    EXPECT_EQ(ReadIo(0x050), 0x4321u);
    MemWrite8(0x04000052, 0x0C);
    EXPECT_EQ(ReadIo(0x052), 0x000Cu);
    EXPECT_EQ(Cpu.cycleBudget, budget - 4 * AccessCost16[4]);
    budget = Cpu.cycleBudget;
    MemWrite16(0x0D000000, 1);    // EEPROM mirror
    MemWrite8(0x0E000000, 0xAA);  // Flash command window
    EXPECT_EQ(Cpu.cycleBudget, budget - AccessCost16[0xD] - AccessCost16[0xE]);
}

}  // namespace

// bios_copy_test.cpp - CpuSet and CpuFastSet: units, fills, exact counts,
// address wrapping and stores through the bus.
#include "bios_fixture.h"
#include "machine/io.h"

namespace {

using BiosCopy = BiosTest;

constexpr uint32_t Src = 0x02000000;
constexpr uint32_t Dst = 0x02001000;

void PutWords(uint32_t at, std::initializer_list<uint32_t> words) {
    for (uint32_t w : words) MemWrite32(at, w), at += 4;
}

TEST_F(BiosCopy, CpuSetFillsHalfwords) {
    MemWrite16(Src, 0xBEEF);
    Fill(Dst, 16, 0xEE);
    Call(0x0B, Src, Dst, 0x01000004);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(PeekHalf(Dst + 2 * i), 0xBEEFu) << i;
    EXPECT_EQ(PeekHalf(Dst + 8), 0xEEEEu);
}

TEST_F(BiosCopy, CpuSetCopiesHalfwordsFromAlignedAddresses) {
    PutWords(Src, {0x22221111, 0x44443333});
    Fill(Dst, 16, 0xEE);
    Call(0x0B, Src + 1, Dst + 1, 3);
    EXPECT_EQ(PeekWord(Dst), 0x22221111u) << "low address bits are cleared to the unit";
    EXPECT_EQ(PeekWord(Dst + 4), 0xEEEE3333u);
}

TEST_F(BiosCopy, CpuSetCopiesAndFillsWords) {
    PutWords(Src, {0x11111111, 0x22222222, 0x33333333, 0x44444444});
    Fill(Dst, 32, 0xEE);
    Call(0x0B, Src + 2, Dst + 3, 0x04000003);
    EXPECT_EQ(PeekWord(Dst), 0x11111111u);
    EXPECT_EQ(PeekWord(Dst + 8), 0x33333333u);
    EXPECT_EQ(PeekWord(Dst + 12), 0xEEEEEEEEu);
    Call(0x0B, Src + 4, Dst + 16, 0x05000002);
    EXPECT_EQ(PeekWord(Dst + 16), 0x22222222u);
    EXPECT_EQ(PeekWord(Dst + 20), 0x22222222u);
    EXPECT_EQ(PeekWord(Dst + 24), 0xEEEEEEEEu);
}

TEST_F(BiosCopy, CountIsTheLowSixteenBitsAndZeroDoesNothing) {
    MemWrite32(Src, 0x12345678);
    Fill(Dst, 8, 0xEE);
    Call(0x0B, Src, Dst, 0x04010000);
    Call(0x0C, Src, Dst, 0x00010000);
    EXPECT_EQ(PeekWord(Dst), 0xEEEEEEEEu);
    Call(0x0C, Src, Dst, 0x01010001);
    EXPECT_EQ(PeekWord(Dst), 0x12345678u);
    EXPECT_EQ(PeekWord(Dst + 4), 0xEEEEEEEEu);
}

TEST_F(BiosCopy, CpuFastSetCopiesExactlyTheCountOfWords) {
    PutWords(Src, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    Fill(Dst, 64, 0xEE);
    Call(0x0C, Src + 3, Dst + 1, 3);
    EXPECT_EQ(PeekWord(Dst), 1u);
    EXPECT_EQ(PeekWord(Dst + 4), 2u);
    EXPECT_EQ(PeekWord(Dst + 8), 3u);
    EXPECT_EQ(PeekWord(Dst + 12), 0xEEEEEEEEu) << "the count is not rounded up to eight words";
    Call(0x0C, Src + 8, Dst + 32, 0x01000005);
    for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(PeekWord(Dst + 32 + 4 * i), 3u) << i;
    EXPECT_EQ(PeekWord(Dst + 52), 0xEEEEEEEEu);
}

TEST_F(BiosCopy, AddressesWrapWithinTheBusSpace) {
    // Past 0x0FFFFFFC the destination continues at 0: the BIOS region, whose
    // stores land in Dummy RAM like those to any unmapped page.
    PutWords(Src, {0xAAAA0001, 0xBBBB0002});
    Call(0x0C, Src, 0xFFFFFFFC, 2);
    EXPECT_EQ(PeekWord(0x0FFFFFFC), 0xAAAA0001u);
    EXPECT_EQ(PeekWord(0x01000000), 0xBBBB0002u);
    EXPECT_EQ(PeekWord(0x00000000), 0xE3A0F302u) << "the BIOS page itself is read-only";

    MemWrite32(0x0FFFFFFC, 0x51510000);
    Call(0x0B, 0xFFFFFFFE, Dst, 2);
    EXPECT_EQ(PeekHalf(Dst), 0x5151u) << "the first source unit is read where R0 points";
    EXPECT_EQ(PeekHalf(Dst + 2), 0xF302u) << "the next one wraps to address 0";
}

TEST_F(BiosCopy, DestinationStoresGoThroughTheBus) {
    StoreIo(Reg::IF, 0x0005);
    MemWrite16(Src, 0x0001);
    Call(0x0B, Src, 0x04000202, 1);
    EXPECT_EQ(ReadIo(Reg::IF), 0x0004u) << "a write to IF acknowledges instead of storing";
}

TEST_F(BiosCopy, SourceIsReadWithoutAccessCost) {
    int32_t before = Cpu.cycleBudget;
    Call(0x0C, 0x08000000, 0x03000000, 1);
    EXPECT_EQ(Cpu.cycleBudget, before - AccessCost32[3]) << "only the store is charged";
}

}  // namespace

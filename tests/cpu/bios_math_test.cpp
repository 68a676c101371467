// bios_math_test.cpp - division, square root, arctangents and the affine
// parameter calls against values worked out by hand or with a calculator.
#include "bios_fixture.h"

namespace {

using BiosMath = BiosTest;

uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }

TEST_F(BiosMath, DivTruncatesTowardZeroAndTheRemainderFollowsTheDividend) {
    Call(0x06, 7, U(-2));
    EXPECT_EQ(Cpu.r[0], U(-3));
    EXPECT_EQ(Cpu.r[1], 1u);
    EXPECT_EQ(Cpu.r[3], 3u);
    Call(0x06, U(-7), 2);
    EXPECT_EQ(Cpu.r[0], U(-3));
    EXPECT_EQ(Cpu.r[1], U(-1));
    EXPECT_EQ(Cpu.r[3], 3u);
    Call(0x06, U(-9), U(-3));
    EXPECT_EQ(Cpu.r[0], 3u);
    EXPECT_EQ(Cpu.r[1], 0u);
}

TEST_F(BiosMath, DivArmTakesItsOperandsTheOtherWayRound) {
    Call(0x07, U(-2), 7);
    EXPECT_EQ(Cpu.r[0], U(-3));
    EXPECT_EQ(Cpu.r[1], 1u);
    EXPECT_EQ(Cpu.r[3], 3u);
}

TEST_F(BiosMath, DivisionOfTheSmallestIntegerByMinusOneWraps) {
    Call(0x06, 0x80000000u, U(-1));
    EXPECT_EQ(Cpu.r[0], 0x80000000u);
    EXPECT_EQ(Cpu.r[1], 0u);
    EXPECT_EQ(Cpu.r[3], 0x80000000u);
}

TEST_F(BiosMath, ZeroDivisorChangesNothing) {
    Call(0x06, 7, 0, 0x22, 0x33);
    EXPECT_EQ(Cpu.r[0], 7u);
    EXPECT_EQ(Cpu.r[1], 0u);
    EXPECT_EQ(Cpu.r[3], 0x33u);
    Call(0x07, 0, 7, 0x22, 0x33);
    EXPECT_EQ(Cpu.r[0], 0u);
    EXPECT_EQ(Cpu.r[1], 7u);
    EXPECT_EQ(Cpu.r[3], 0x33u);
}

TEST_F(BiosMath, SqrtIsTheIntegerPartOverTheWholeUnsignedRange) {
    const uint32_t cases[][2] = {{0, 0},
                                 {1, 1},
                                 {15, 3},
                                 {16, 4},
                                 {17, 4},
                                 {1000000, 1000},
                                 {0x80000000, 46340},
                                 {0xFFFE0000, 65534},
                                 {0xFFFE0001, 65535},
                                 {0xFFFFFFFF, 65535}};
    for (const auto& c : cases) {
        Call(0x08, c[0]);
        EXPECT_EQ(Cpu.r[0], c[1]) << c[0];
    }
}

TEST_F(BiosMath, ArcTanOfFixedPointValues) {
    // atan(x) * 10430.06, truncated: 1.0 -> pi/4 -> 8191.75.
    const uint32_t cases[][2] = {{0, 0},         {0x4000, 0x1FFF}, {0xC000, 0xE001},
                                 {0x2000, 4835}, {0x7FFF, 11547},  {0x8000, 0xD2E5}};
    for (const auto& c : cases) {
        Call(0x09, c[0]);
        EXPECT_EQ(Cpu.r[0], c[1]) << c[0];
    }
    Call(0x09, 0x12340001);
    EXPECT_EQ(Cpu.r[0], 0u) << "only the low 16 bits are the argument";
}

TEST_F(BiosMath, ArcTan2CoversAllQuadrants) {
    struct Case {
        int32_t x, y;
        uint32_t angle;
    };
    const Case cases[] = {{1, 1, 0x1FFF},   {-1, 0, 0x7FFF},       {1, -1, 0xE001},
                          {-1, -1, 0xA001}, {256, 0x6000, 0x3F92}, {-5, 3, 0x69FA}};
    for (const Case& c : cases) {
        Call(0x0A, U(c.x), U(c.y));
        EXPECT_EQ(Cpu.r[0], c.angle) << c.x << "," << c.y;
    }
    Call(0x0A, 0x10000, 5);
    EXPECT_EQ(Cpu.r[0], 0x10000u) << "x = 0 in the low 16 bits changes nothing";
}

// Writes one 8-byte ObjAffineSet record.
void PutObjRecord(uint32_t at, uint16_t sx, uint16_t sy, uint16_t angle) {
    MemWrite16(at, sx);
    MemWrite16(at + 2, sy);
    MemWrite16(at + 4, angle);
}

TEST_F(BiosMath, ObjAffineSetWritesTheFourParametersAtTheStride) {
    PutObjRecord(0x02000000, 0x100, 0x100, 0);
    PutObjRecord(0x02000008, 0, 0, 0);
    PutObjRecord(0x02000010, 0x100, 0x180, 0x2000);
    PutObjRecord(0x02000018, 0x100, 0xFF00, 0x4000);
    Fill(0x07000000, 0x100, 0xEE);
    Call(0x0F, 0x02000000, 0x07000006, 4, 8);
    const int16_t expected[4][4] = {
        {256, 0, 0, 256},       // identity
        {256, 0, 0, 256},       // scale 0 counts as 1.0
        {181, -181, 271, 271},  // 45 degrees, y scaled by 1.5
        {0, -255, -255, 0},     // 90 degrees (the sine just misses 1.0), y mirrored
    };
    for (int record = 0; record < 4; ++record)
        for (int p = 0; p < 4; ++p)
            EXPECT_EQ(static_cast<int16_t>(PeekHalf(0x07000006 + 32 * record + 8 * p)), expected[record][p])
                << "record " << record << " parameter " << p;
    EXPECT_EQ(PeekHalf(0x07000000), 0xEEEEu) << "only the parameter halfwords are written";
    EXPECT_EQ(PeekHalf(0x07000008), 0xEEEEu);
    EXPECT_EQ(PeekHalf(0x07000086), 0xEEEEu) << "four records, no more";
}

TEST_F(BiosMath, ObjAffineSetWithZeroCountWritesNothing) {
    PutObjRecord(0x02000000, 0x100, 0x100, 0);
    Fill(0x07000000, 16, 0xEE);
    Call(0x0F, 0x02000000, 0x07000006, 0, 8);
    EXPECT_EQ(PeekHalf(0x07000006), 0xEEEEu);
}

TEST_F(BiosMath, BgAffineSetComputesStepsAndStartPoint) {
    // Two records: 45 degrees at unit scale around the screen centre, and a
    // plain 2x zoom with scale 0 for y (taken as 1.0).
    uint32_t src = 0x02000000;
    MemWrite32(src, 0x1000);
    MemWrite32(src + 4, 0x20000);
    MemWrite16(src + 8, 120);
    MemWrite16(src + 10, 80);
    MemWrite16(src + 12, 0x100);
    MemWrite16(src + 14, 0x100);
    MemWrite16(src + 16, 0x2000);
    MemWrite32(src + 20, 0x500);
    MemWrite32(src + 24, 0x300);
    MemWrite16(src + 28, U(-2));
    MemWrite16(src + 30, 3);
    MemWrite16(src + 32, 0x200);
    MemWrite16(src + 34, 0);
    MemWrite16(src + 36, 0);
    Call(0x0E, src, 0x02000100, 2);

    EXPECT_EQ(static_cast<int16_t>(PeekHalf(0x02000100)), 181);
    EXPECT_EQ(static_cast<int16_t>(PeekHalf(0x02000102)), -181);
    EXPECT_EQ(static_cast<int16_t>(PeekHalf(0x02000104)), 181);
    EXPECT_EQ(static_cast<int16_t>(PeekHalf(0x02000106)), 181);
    // 0x1000 - 80 * -181 - 120 * 181 and 0x20000 - 80 * 181 - 120 * 181
    EXPECT_EQ(static_cast<int32_t>(PeekWord(0x02000108)), -3144);
    EXPECT_EQ(static_cast<int32_t>(PeekWord(0x0200010C)), 94872);

    EXPECT_EQ(PeekHalf(0x02000110), 0x200u);
    EXPECT_EQ(PeekHalf(0x02000112), 0u);
    EXPECT_EQ(PeekHalf(0x02000114), 0u);
    EXPECT_EQ(PeekHalf(0x02000116), 0x100u);
    EXPECT_EQ(PeekWord(0x02000118), 0x500u + 2 * 0x200u);  // 0x500 - 3 * 0 - (-2) * 0x200
    EXPECT_EQ(PeekWord(0x0200011C), 0x300u - 3 * 0x100u);
}

TEST_F(BiosMath, BgAffineSetStartPointWrapsIn32Bits) {
    uint32_t src = 0x02000000;
    MemWrite32(src, 0x7FFFFFFF);
    MemWrite32(src + 4, 0x80000000);
    MemWrite16(src + 8, U(-0x8000));
    MemWrite16(src + 10, 0);
    MemWrite16(src + 12, 0x7FFF);
    MemWrite16(src + 14, 0x7FFF);
    MemWrite16(src + 16, 0);
    Call(0x0E, src, 0x02000100, 1);
    EXPECT_EQ(PeekWord(0x02000108), 0x7FFFFFFFu + 0x8000u * 0x7FFFu);
    EXPECT_EQ(PeekWord(0x0200010C), 0x80000000u);
}

}  // namespace

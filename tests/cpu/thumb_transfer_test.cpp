// thumb_transfer_test.cpp - Thumb loads and stores: addressing, alignment rules, costs, block transfers.
#include "thumb_harness.h"

namespace {

using ThumbTransfer = ThumbMachine;

// External work RAM costs 3 cycles per 8/16-bit access and 6 per word; internal work RAM 1 and 1.
constexpr int Ewram16 = 3, Ewram32 = 6, Iwram32 = 1;

TEST_F(ThumbTransfer, PcRelativeLoadsUseTheWordAlignedInstructionAddress) {
    MemWrite32(ThumbCode + 8, 0xCAFEF00D);
    Load({0x4F01, 0x4F01});  // ldr r7, [pc, #4] at +0 and at +2
    EXPECT_EQ(Step(), Iwram32 + 1);
    EXPECT_EQ(Cpu.r[7], 0xCAFEF00Du);
    Cpu.r[7] = 0;
    Step();
    EXPECT_EQ(Cpu.r[7], 0xCAFEF00Du);

    Load({0xA501}, ThumbCode + 0x102);  // add r5, pc, #4
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(Cpu.r[5], ThumbCode + 0x108);
    Load({0xA501}, ThumbCode + 0x100);
    Step();
    EXPECT_EQ(Cpu.r[5], ThumbCode + 0x108);
}

TEST_F(ThumbTransfer, UnalignedLoadsShiftTheAlignedValueRight) {
    MemWrite32(ThumbData, 0x80FF7F01);  // bytes 01 7F FF 80
    Cpu.r[1] = ThumbData;
    struct {
        const char* name;
        uint16_t opcode;
        uint32_t offset;  // R2
        uint32_t value;
        int cost;
    } const cases[] = {
        {"ldr r0, [r1, r2] at +2", 0x5888, 2, 0x80FF, Ewram32 + 1},
        {"ldr r0, [r1, r2] at +3", 0x5888, 3, 0x80, Ewram32 + 1},
        {"ldrh r0, [r1, r2] at +2", 0x5A88, 2, 0x80FF, Ewram16 + 1},
        {"ldrh r0, [r1, r2] at +3 gives the high byte", 0x5A88, 3, 0x80, Ewram16 + 1},
        {"ldrsh r0, [r1, r2] at +2 sign-extends", 0x5E88, 2, 0xFFFF80FF, Ewram16 + 1},
        {"ldrsh r0, [r1, r2] at +3 gives the high byte unsigned", 0x5E88, 3, 0x80, Ewram16 + 1},
        {"ldrsb r0, [r1, r2] at +3", 0x5688, 3, 0xFFFFFF80, Ewram16 + 1},
        {"ldrsb r0, [r1, r2] at +1", 0x5688, 1, 0x7F, Ewram16 + 1},
        {"ldrb r0, [r1, r2] at +2", 0x5C88, 2, 0xFF, Ewram16 + 1},
    };
    for (const auto& c : cases) {
        Cpu.r[2] = c.offset;
        EXPECT_EQ(Execute({c.opcode}), c.cost) << c.name;
        EXPECT_EQ(Cpu.r[0], c.value) << c.name;
    }
    Cpu.r[1] = ThumbData + 1;
    Execute({0x6808});  // ldr r0, [r1, #0]
    EXPECT_EQ(Cpu.r[0], 0x0080FF7Fu);
    Cpu.r[1] = ThumbData + 3 - 31;
    EXPECT_EQ(Execute({0x7FC8}), Ewram16 + 1);  // ldrb r0, [r1, #31]
    EXPECT_EQ(Cpu.r[0], 0x80u);
    Cpu.r[1] = ThumbData - 1;
    Execute({0x8848});  // ldrh r0, [r1, #2]
    EXPECT_EQ(Cpu.r[0], 0x7Fu);
}

TEST_F(ThumbTransfer, ImmediateOffsetsScaleWithTheAccessWidth) {
    MemWrite32(ThumbData + 124, 0x11111111);
    MemWrite32(ThumbData + 0x3FC, 0x22222222);
    Cpu.r[1] = ThumbData;
    Execute({0x6FC8});  // ldr r0, [r1, #124]
    EXPECT_EQ(Cpu.r[0], 0x11111111u);
    Cpu.r[13] = ThumbData;
    EXPECT_EQ(Execute({0x9CFF}), Ewram32 + 1);  // ldr r4, [sp, #1020]
    EXPECT_EQ(Cpu.r[4], 0x22222222u);
    Execute({0xAEFF});  // add r6, sp, #1020
    EXPECT_EQ(Cpu.r[6], ThumbData + 1020);
    Execute({0xB07F});  // add sp, #508
    EXPECT_EQ(Cpu.r[13], ThumbData + 508);
    Execute({0xB081});  // sub sp, #4
    EXPECT_EQ(Cpu.r[13], ThumbData + 504);
}

TEST_F(ThumbTransfer, StoresWriteTheirWidthThroughTheBus) {
    for (uint32_t i = 0; i < 16; ++i) MemWrite32(ThumbData + 4 * i, 0);
    Cpu.r[0] = 0x12345678;
    Cpu.r[1] = ThumbData;
    Cpu.r[2] = 0x20;
    EXPECT_EQ(Execute({0x6048}), Ewram32);  // str r0, [r1, #4]
    EXPECT_EQ(Execute({0x7048}), Ewram16);  // strb r0, [r1, #1]
    EXPECT_EQ(Execute({0x87C8}), Ewram16);  // strh r0, [r1, #62]
    Execute({0x5088});                      // str r0, [r1, r2]
    Cpu.r[2] = 0x28;
    Execute({0x5288});  // strh r0, [r1, r2]
    Cpu.r[2] = 0x2B;
    Execute({0x5488});  // strb r0, [r1, r2]
    Cpu.r[3] = 0xA5A5A5A5;
    Cpu.r[13] = ThumbData + 0x30;
    Execute({0x9302});  // str r3, [sp, #8]
    EXPECT_EQ(PeekWord(ThumbData + 0), 0x00007800u);
    EXPECT_EQ(PeekWord(ThumbData + 4), 0x12345678u);
    EXPECT_EQ(PeekWord(ThumbData + 0x3C), 0x56780000u);
    EXPECT_EQ(PeekWord(ThumbData + 0x20), 0x12345678u);
    EXPECT_EQ(PeekWord(ThumbData + 0x28), 0x78005678u);
    EXPECT_EQ(PeekWord(ThumbData + 0x38), 0xA5A5A5A5u);

    Cpu.r[1] = ThumbData + 0x41;  // unaligned word store: rotated into the aligned word
    Execute({0x6048});            // str r0, [r1, #4]
    EXPECT_EQ(PeekWord(ThumbData + 0x44), 0x78123456u);
}

TEST_F(ThumbTransfer, PushStoresLrHighestAndRegistersInAscendingOrder) {
    for (uint32_t i = 0; i < 8; ++i) Cpu.r[i] = 0x100 + i;
    Cpu.r[14] = 0x0800ABCD;
    EXPECT_EQ(Execute({0xB5FF}), 9 * Iwram32);  // push {r0-r7, lr}
    EXPECT_EQ(Cpu.r[13], 0x03007EDCu);
    EXPECT_EQ(PeekWord(0x03007EFC), 0x0800ABCDu);
    for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(PeekWord(0x03007EDC + 4 * i), 0x100 + i);

    for (uint32_t i = 0; i < 8; ++i) Cpu.r[i] = 0;
    EXPECT_EQ(Execute({0xBCFF}), 8 * Iwram32) << "no extra cycle for block loads";  // pop {r0-r7}
    for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(Cpu.r[i], 0x100 + i);
    EXPECT_EQ(Cpu.r[13], 0x03007EFCu);
}

TEST_F(ThumbTransfer, PopOfPcClearsBitZeroAndStaysInThumbState) {
    MemWrite32(0x03007F00, 0x11);
    MemWrite32(0x03007F04, 0x03000201);
    Execute({0xBD04});  // pop {r2, pc}
    EXPECT_EQ(Cpu.r[2], 0x11u);
    EXPECT_EQ(Cpu.r[15], 0x03000200u);
    EXPECT_EQ(Cpu.r[13], 0x03007F08u);
    EXPECT_TRUE(Cpu.cpsr & FlagT);
    EXPECT_EQ(Cpu.breakFlag, 0);
}

TEST_F(ThumbTransfer, StackOperationsKeepTheLowBitsOfAnUnalignedSp) {
    Cpu.r[13] = 0x03007F02;
    Cpu.r[1] = 0x5A5A;
    Execute({0xB402});  // push {r1}
    EXPECT_EQ(PeekWord(0x03007EFC), 0x5A5Au);
    EXPECT_EQ(Cpu.r[13], 0x03007EFEu);
    Execute({0xBC01});  // pop {r0}
    EXPECT_EQ(Cpu.r[0], 0x5A5Au);
    EXPECT_EQ(Cpu.r[13], 0x03007F02u);

    Cpu.r[13] = 0x03007F01;
    MemWrite32(0x03007EFC, 0);
    EXPECT_EQ(Execute({0xB400}), 0);  // push {}
    EXPECT_EQ(Execute({0xBC00}), 0);  // pop {}
    EXPECT_EQ(Cpu.r[13], 0x03007F01u);
    EXPECT_EQ(PeekWord(0x03007EFC), 0u);
    Cpu.r[14] = 0x77;
    Execute({0xB500});  // push {lr}
    EXPECT_EQ(PeekWord(0x03007EFC), 0x77u);
    EXPECT_EQ(Cpu.r[13], 0x03007EFDu);
}

TEST_F(ThumbTransfer, StoreMultipleStoresTheOldBaseAndWritesBack) {
    Cpu.r[0] = 5;
    Cpu.r[2] = ThumbData + 0x10;
    EXPECT_EQ(Execute({0xC205}), 2 * Ewram32);  // stmia r2!, {r0, r2}
    EXPECT_EQ(PeekWord(ThumbData + 0x10), 5u);
    EXPECT_EQ(PeekWord(ThumbData + 0x14), ThumbData + 0x10);
    EXPECT_EQ(Cpu.r[2], ThumbData + 0x18);

    Cpu.r[3] = ThumbData + 0x21;
    Execute({0xC301});  // stmia r3!, {r0}
    EXPECT_EQ(PeekWord(ThumbData + 0x20), 5u);
    EXPECT_EQ(Cpu.r[3], ThumbData + 0x25);
}

TEST_F(ThumbTransfer, LoadMultipleWithoutTheBaseInTheListWritesBack) {
    MemWrite32(ThumbData + 0x40, 0xAAAA);
    MemWrite32(ThumbData + 0x44, 0xBBBB);
    Cpu.r[4] = ThumbData + 0x40;
    EXPECT_EQ(Execute({0xCC03}), 2 * Ewram32);  // ldmia r4!, {r0, r1}
    EXPECT_EQ(Cpu.r[0], 0xAAAAu);
    EXPECT_EQ(Cpu.r[1], 0xBBBBu);
    EXPECT_EQ(Cpu.r[4], ThumbData + 0x48);

    Cpu.r[4] = ThumbData + 0x42;  // an unaligned base loads from the word and keeps its low bits
    Execute({0xCC01});            // ldmia r4!, {r0}
    EXPECT_EQ(Cpu.r[0], 0xAAAAu);
    EXPECT_EQ(Cpu.r[4], ThumbData + 0x46);
}

// Compiled code loads two fields of a structure through its own pointer
// ("ldmia r1!, {r1, r2}"): the loaded value must stay in the base register
// wherever it lies in the list.
TEST_F(ThumbTransfer, LoadMultipleKeepsALoadedBase) {
    for (uint32_t word = 0; word < 4; ++word) MemWrite32(ThumbData + 0x40 + 4 * word, 0x1000 + word);
    struct Case {
        uint16_t opcode;
        uint32_t base;
        uint32_t loaded;
    };
    const Case cases[] = {
        {0xC906, 1, 0x1000},  // ldmia r1!, {r1, r2}: base first
        {0xCA07, 2, 0x1002},  // ldmia r2!, {r0, r1, r2}: base last
        {0xC90B, 1, 0x1001},  // ldmia r1!, {r0, r1, r3}: base in the middle
        {0xC902, 1, 0x1000},  // ldmia r1!, {r1}: base alone
    };
    for (const Case& c : cases) {
        Cpu.r[c.base] = ThumbData + 0x42;  // unaligned: the loaded value still wins
        Execute({c.opcode});
        EXPECT_EQ(Cpu.r[c.base], c.loaded) << std::hex << c.opcode;
    }
}

TEST_F(ThumbTransfer, EmptyRegisterListsTransferNothingAndKeepTheBase) {
    MemWrite32(ThumbData, 0x1234);
    Cpu.r[3] = ThumbData;
    Cpu.r[0] = 0x99;
    EXPECT_EQ(Execute({0xC300}), 0);  // stmia r3!, {}
    EXPECT_EQ(Execute({0xCB00}), 0);  // ldmia r3!, {}
    EXPECT_EQ(Cpu.r[3], ThumbData);
    EXPECT_EQ(PeekWord(ThumbData), 0x1234u);
}

}  // namespace

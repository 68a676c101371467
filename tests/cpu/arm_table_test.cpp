// arm_table_test.cpp - coverage of the ARM handler table: which entries are
// implemented, how many distinct handlers serve them, and where the gaps are.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "cpu/arm.h"

namespace {

ArmHandler Unrecognized() { return &LogUnrecognizedArm; }

ArmHandler At(uint32_t row, uint32_t column) { return ArmHandlerTable[row | column << 8]; }

// The positions that must stay unrecognized, written from the instruction set's
// encoding gaps rather than from the table's construction.
bool ExpectedUnrecognized(uint32_t row, uint32_t column) {
    bool halfwordColumn = column == 0xB || column == 0xD || column == 0xF;
    if (row < 0x20 && column == 9) return (row >= 0x04 && row <= 0x07) || (row >= 0x10 && row != 0x10 && row != 0x14);
    if (row < 0x20 && halfwordColumn) {
        bool postIndexWithWriteBack = !(row & 0x10) && (row & 0x02);
        bool signedStore = column != 0xB && !(row & 0x01);
        return postIndexWithWriteBack || signedStore;
    }
    if (row == 0x10 || row == 0x14 || row == 0x16) return column != 0;
    if (row == 0x12) return column != 0 && column != 1;
    if (row == 0x30 || row == 0x34) return true;
    if (row >= 0x60 && row < 0x80) return column & 1;
    return row >= 0xC0 && row < 0xF0;
}

TEST(ArmHandlerTable, ImplementsTheStatedCoverage) {
    std::set<ArmHandler> distinct;
    int implemented = 0, unrecognized = 0;
    for (ArmHandler handler : ArmHandlerTable) {
        ASSERT_NE(handler, nullptr);
        if (handler == Unrecognized()) {
            ++unrecognized;
        } else {
            ++implemented;
            distinct.insert(handler);
        }
    }
    EXPECT_EQ(implemented, 2931);
    EXPECT_EQ(unrecognized, 1165);
    EXPECT_EQ(distinct.size(), 1686u);
}

TEST(ArmHandlerTable, UnrecognizedEntriesSitInTheEncodingGaps) {
    for (uint32_t row = 0; row < 0x100; ++row)
        for (uint32_t column = 0; column < 16; ++column)
            EXPECT_EQ(At(row, column) == Unrecognized(), ExpectedUnrecognized(row, column))
                << "row 0x" << std::hex << row << " column 0x" << column;
}

TEST(ArmHandlerTable, SharedHandlersServeWholeRowsOnlyWhereTheColumnIsPartOfAnOperand) {
    // Block transfers: one handler per row, different rows never share.
    std::set<ArmHandler> blockRows;
    for (uint32_t row = 0x80; row < 0xA0; ++row) {
        for (uint32_t column = 1; column < 16; ++column) EXPECT_EQ(At(row, column), At(row, 0));
        blockRows.insert(At(row, 0));
    }
    EXPECT_EQ(blockRows.size(), 32u);
    // B, BL and SWI: one handler each for all their rows and columns.
    std::map<ArmHandler, int> users;
    for (uint32_t row = 0xA0; row < 0x100; ++row)
        if (row < 0xC0 || row >= 0xF0)
            for (uint32_t column = 0; column < 16; ++column) ++users[At(row, column)];
    ASSERT_EQ(users.size(), 3u);
    for (const auto& [handler, count] : users) EXPECT_EQ(count, 256);
    // Immediate operands and offsets: every entry has its own copy.
    std::set<ArmHandler> transfers;
    for (uint32_t row = 0x40; row < 0x60; ++row)
        for (uint32_t column = 0; column < 16; ++column) transfers.insert(At(row, column));
    EXPECT_EQ(transfers.size(), 512u);
}

TEST(ArmHandlerTable, IndexTakesBits27To20LowAndBits7To4High) {
    EXPECT_EQ(ArmHandlerIndex(0xE0910002), 0x009u);  // ADDS R0, R1, R2
    EXPECT_EQ(ArmHandlerIndex(0xE12FFF1E), 0x112u);  // BX LR
    EXPECT_EQ(ArmHandlerIndex(0xE1D000B2), 0xB1Du);  // LDRH R0, [R0, #2]
    EXPECT_EQ(ArmHandlerIndex(0xEF000000), 0x0F0u);  // SWI 0
    // Every index, whatever the other opcode bits hold.
    uint32_t noise = 0x9E3779B9;
    for (uint32_t index = 0; index < ArmHandlerCount; ++index) {
        noise = noise * 1664525 + 1013904223;
        uint32_t opcode = (noise & 0xF00FFF0F) | (index & 0xFF) << 20 | (index >> 8) << 4;
        ASSERT_EQ(ArmHandlerIndex(opcode), index) << std::hex << opcode;
    }
}

}  // namespace

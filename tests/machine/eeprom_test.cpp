// eeprom_test.cpp - the serial EEPROM: block writes and reads bit by bit, the
// reply stream in Dummy RAM, idle reads, trace lines and the stored record.
#include "machine/eeprom.h"

#include <gtest/gtest.h>

#include "headless.h"
#include "machine/memory.h"
#include "test_support.h"

namespace {

constexpr uint64_t Value = 0x0123456789ABCDEFull;

class SerialEeprom : public ::testing::Test {
protected:
    void SetUp() override { BootWords(dir, {0xEAFFFFFE}); }
    void TearDown() override {
        std::fill(EepromChip.data, EepromChip.data + EepromDataBytes, 0);
        Headless::StopMachine();
    }
    // Each bit is a halfword store to the EEPROM area, as a game's DMA makes it.
    static void Send(uint64_t bits, int count) {
        for (int i = count - 1; i >= 0; --i) MemWrite16(0x0D000000, static_cast<uint32_t>(bits >> i) & 1);
    }
    static void WriteBlock(uint32_t block, uint64_t value) {
        Send(0b10, 2);
        Send(block, 6);
        Send(value, 64);
        Send(0, 1);
    }
    static void RequestRead(uint32_t block) {
        Send(0b11, 2);
        Send(block, 6);
        Send(0, 1);
    }
    static uint64_t Receive(int zeros) {
        for (int i = 0; i < zeros; ++i) EXPECT_EQ(MemRead16(0x0D000000), 0u) << "leading zero " << i;
        uint64_t value = 0;
        for (int i = 0; i < 64; ++i) value = value << 1 | MemRead16(0x0D000000);
        return value;
    }
    TempDir dir;
};

TEST_F(SerialEeprom, WrittenBlockIsStoredLittleEndian) {
    WriteBlock(3, Value);
    const uint8_t expected[8] = {0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(EepromChip.data[24 + i], expected[i]) << i;
    EXPECT_EQ(std::count(EepromChip.data, EepromChip.data + EepromDataBytes, 0), EepromDataBytes - 8);
    EXPECT_EQ(MemRead16(0x0D000000), 1u) << "reads after a write report ready";
}

TEST_F(SerialEeprom, ReadRequestAnswersWithFourZerosAndTheBlock) {
    WriteBlock(3, Value);
    WriteBlock(63, ~Value);
    RequestRead(3);
    EXPECT_EQ(Receive(4), Value);
    EXPECT_EQ(MemRead16(0x0D000000), 1u);
    RequestRead(63);
    EXPECT_EQ(Receive(4), ~Value);
}

TEST_F(SerialEeprom, ReplyStreamIsLeftInDummyRam) {
    Send(0b10, 2);
    Send(5, 6);
    EXPECT_EQ(PeekHalf(0x0D000000), 1u) << "ready halfword after a write header";
    Send(Value, 64);
    Send(0, 1);
    RequestRead(5);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(PeekHalf(0x0D000000 + 2 * i), 0u);
    for (int bit = 0; bit < 64; ++bit) EXPECT_EQ(PeekHalf(0x0D000008 + 2 * bit), (Value >> (63 - bit)) & 1) << bit;
    EXPECT_EQ(PeekHalf(0x0F000008), 0u) << "every unmapped page shows the same stream";
}

TEST_F(SerialEeprom, IdleReadsAreReadyAndStopBitsAreIgnored) {
    EXPECT_EQ(MemRead16(0x09FFFF00), 1u);
    EXPECT_EQ(MemRead16(0x0DFFFF00), 1u);
    Send(0, 5);
    EXPECT_EQ(EepromChip.headerBits, 0);
    WriteBlock(0, Value);
    EXPECT_EQ(EepromChip.data[0], 0xEF);
    EXPECT_EQ(EepromChip.data[7], 0x01);
}

TEST_F(SerialEeprom, FourteenBitAddressesAreNotUnderstood) {
    // A larger chip's write header: 1, 0, then 14 address bits. Only 6 are
    // taken; the remaining 8 address bits begin the 64 data bits.
    Send(0b10, 2);
    Send(0x0001, 14);
    EXPECT_EQ(EepromChip.blockOffset, 0u);
    EXPECT_EQ(EepromChip.dataBits, 64 - 8);
}

TEST_F(SerialEeprom, TraceShowsBitsAndTransfers) {
    EepromChip.trace = 1;
    Headless::ClearConsoleText();
    WriteBlock(1, 0x00000000000000FFull);
    RequestRead(1);
    MemRead16(0x0D000000);
    EXPECT_EQ(Headless::ConsoleText(), "10000001 WRITE(1) " + std::string(56, '0') + "11111111" +
                                           " IN=00000000000000FF 0" + "11000001" + " READ(1) OUT=00000000000000FF 0#");
}

TEST_F(SerialEeprom, RecordRoundTripAndImpossibleValues) {
    Send(0b10, 2);
    Send(9, 6);
    Send(0xA5, 8);
    uint8_t record[EepromBytes];
    StoreEeprom(EepromChip, record);
    EXPECT_EQ(record[528], 0);
    EXPECT_EQ(record[529], 56);
    EXPECT_EQ(record[532], 72);
    EXPECT_EQ(record[0], 0xA5);

    Eeprom loaded{};
    loaded.reply = DummyRam;
    ASSERT_TRUE(LoadEeprom(loaded, record));
    EXPECT_EQ(loaded.dataBits, 56);
    EXPECT_EQ(loaded.blockOffset, 72u);
    EXPECT_EQ(loaded.input, 0xA5u);
    EXPECT_EQ(loaded.output, ~uint64_t{0});
    EXPECT_EQ(loaded.reply, DummyRam);

    struct Damage {
        int at;
        uint8_t value;
    };
    for (Damage d :
         {Damage{528, 8}, Damage{529, 65}, Damage{530, 5}, Damage{532, 0x04}, Damage{533, 0x02}, Damage{535, 0x80}}) {
        uint8_t bad[EepromBytes];
        std::copy(record, record + EepromBytes, bad);
        bad[d.at] = d.value;
        EXPECT_FALSE(LoadEeprom(loaded, bad)) << d.at;
    }
    EXPECT_EQ(loaded.blockOffset, 72u) << "a refused record changes nothing";
}

}  // namespace

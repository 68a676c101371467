// eeprom.cpp - the serial EEPROM: request decoding, 64-bit block reads and writes.
//
// Protocol state machine, one step per bit written (EepromWriteBit):
//
//   idle --1--> header (7 bits: R, A5..A0; 15 bits on the 8 KB chip: R, A13..A0)
//   header complete, R = 1 --> idle, reply loaded (ReadBit sends 4 zeros + 64 bits)
//   header complete, R = 0 --> data (64 bits) --> block stored, idle
//   idle --0--> idle (the stop bit that ends every request)
//
// Invariants kept by every transition and checked when a record is loaded:
//   1. headerBits <= 7 (15 on the 8 KB chip), dataBits <= 64, leadingZeros <= 4.
//   2. blockOffset is a multiple of 8 below the chip's size, so a block access
//      stays in data[].
#include "eeprom.h"

#include "console.h"
#include "memory.h"
#include "platform/record.h"

Eeprom EepromChip;

namespace {

constexpr uint8_t HeaderLength = 7;
constexpr uint8_t LargeHeaderLength = 15;
// Halfwords of the two requests of the 8 KB chip: read (1, 1, 14 bits, 0)
// and write (1, 0, 14 bits, 64 bits, 0).
constexpr uint32_t LargeReadRequest = 17, LargeWriteRequest = 81;

uint8_t HeaderBits(const Eeprom& chip) { return chip.kind == EepromKind::Large ? LargeHeaderLength : HeaderLength; }
constexpr uint8_t DataLength = 64;
constexpr uint8_t ReplyZeros = 4;

// Offsets of the stored record.
constexpr int InputAt = 0, OutputAt = 8, DataAt = 16, HeaderBitsAt = 528, DataBitsAt = 529, ZerosAt = 530,
              BlockAt = 532, TraceAt = 536, ReplyAt = 540;
static_assert(DataAt + EepromDataBytes == HeaderBitsAt);
static_assert(ReplyAt + 4 == EepromBytes, "the record is 544 bytes");
static_assert(EepromReplyBytes == 2 * (ReplyZeros + 64));

uint64_t ReadBlock(const Eeprom& chip) { return LoadLe64(chip.data + chip.blockOffset); }

void SetReady(Eeprom& chip) { Store16(chip.reply, 1); }

void WriteReplyStream(Eeprom& chip) {
    for (int i = 0; i < ReplyZeros; ++i) Store16(chip.reply + 2 * i, 0);
    for (int bit = 0; bit < 64; ++bit)
        Store16(chip.reply + 2 * (ReplyZeros + bit), static_cast<uint32_t>(chip.output >> (63 - bit)) & 1);
}

void CompleteHeader(Eeprom& chip) {
    uint32_t length = HeaderBits(chip);
    uint32_t header = static_cast<uint32_t>(chip.input) & ((1u << length) - 1);
    bool read = (header >> (length - 1)) & 1;
    uint32_t block = header & (static_cast<uint32_t>(EepromSize(chip)) / 8 - 1);
    if (chip.trace) ConsolePrintf(" %s(%X) ", read ? "READ" : "WRITE", block);
    chip.blockOffset = block * 8;
    if (read) {
        chip.leadingZeros = ReplyZeros;
        chip.output = ReadBlock(chip);
        if (chip.trace)
            ConsolePrintf("OUT=%08X%08X ", static_cast<uint32_t>(chip.output >> 32),
                          static_cast<uint32_t>(chip.output));
        WriteReplyStream(chip);
    } else {
        chip.dataBits = DataLength;
        SetReady(chip);
    }
    chip.input = 0;
}

}  // namespace

void InitEeprom(uint8_t* replyArea) {
    EepromChip.input = 0;
    EepromChip.output = ~uint64_t{0};
    EepromChip.headerBits = EepromChip.dataBits = EepromChip.leadingZeros = 0;
    EepromChip.blockOffset = 0;
    EepromChip.trace = 0;
    EepromChip.reply = replyArea;
}

void EepromWriteBit(uint32_t value) {
    Eeprom& chip = EepromChip;
    if (chip.trace) ConsolePrintf("%c", (value & 1) ? '1' : '0');
    chip.input = chip.input << 1 | (value & 1);
    if (chip.dataBits) {
        if (--chip.dataBits == 0) {
            StoreLe64(chip.data + chip.blockOffset, chip.input);
            if (chip.trace)
                ConsolePrintf(" IN=%08X%08X ", static_cast<uint32_t>(chip.input >> 32),
                              static_cast<uint32_t>(chip.input));
            SetReady(chip);
            chip.input = 0;
        }
    } else if (chip.headerBits) {
        if (--chip.headerBits == 0) CompleteHeader(chip);
    } else if (value & 1) {
        chip.headerBits = HeaderBits(chip);
    }
}

void NoteEepromTransfer(uint32_t count) {
    Eeprom& chip = EepromChip;
    if (chip.kind != EepromKind::Announced || (count != LargeReadRequest && count != LargeWriteRequest)) return;
    chip.kind = EepromKind::Large;
    ConsolePrintf("EEPROM: 8kB chip (14-bit block numbers).\n");
}

uint32_t EepromReadBit() {
    Eeprom& chip = EepromChip;
    if (chip.trace) ConsolePrintf("#");
    if (chip.leadingZeros) {
        --chip.leadingZeros;
        return 0;
    }
    uint32_t bit = static_cast<uint32_t>(chip.output >> 63);
    chip.output = chip.output << 1 | 1;
    return bit;
}

void StoreEeprom(const Eeprom& chip, uint8_t out[EepromBytes]) {
    for (int i = 0; i < EepromBytes; ++i) out[i] = 0;
    StoreLe64(out + InputAt, chip.input);
    StoreLe64(out + OutputAt, chip.output);
    for (int i = 0; i < EepromDataBytes; ++i) out[DataAt + i] = chip.data[i];
    out[HeaderBitsAt] = chip.headerBits;
    out[DataBitsAt] = chip.dataBits;
    out[ZerosAt] = chip.leadingZeros;
    StoreLe32(out + BlockAt, chip.blockOffset);
    out[TraceAt] = chip.trace;
}

bool LoadEeprom(Eeprom& chip, const uint8_t in[EepromBytes]) {
    uint32_t blockOffset = LoadLe32(in + BlockAt);
    if (in[HeaderBitsAt] > HeaderBits(chip) || in[DataBitsAt] > DataLength || in[ZerosAt] > ReplyZeros) return false;
    if (blockOffset % 8 != 0 || blockOffset >= static_cast<uint32_t>(EepromSize(chip))) return false;
    chip.input = LoadLe64(in + InputAt);
    chip.output = LoadLe64(in + OutputAt);
    for (int i = 0; i < EepromDataBytes; ++i) chip.data[i] = in[DataAt + i];
    chip.headerBits = in[HeaderBitsAt];
    chip.dataBits = in[DataBitsAt];
    chip.leadingZeros = in[ZerosAt];
    chip.blockOffset = blockOffset;
    chip.trace = in[TraceAt];
    return true;
}

// eeprom.h - the 512-byte serial EEPROM reached bit by bit in regions 9, B, D and F.
//
// A game talks to the chip one bit per halfword access (usually through DMA):
// a request header (start bit, read flag, 6-bit block number), for writes 64
// data bits, then a stop bit. Reads answer with 4 zero bits and the 64 bits of
// the block. The chip also leaves its reply as a stream of halfwords at the
// start of Dummy RAM, which is what plain loads from 0x0D000000 see.
#pragma once

#include <cstdint>

constexpr int EepromBytes = 544;
constexpr int EepromDataBytes = 512;
// Halfwords of the reply stream: 4 leading zeros and 64 data bits.
constexpr int EepromReplyBytes = 136;

struct Eeprom {
    uint64_t input;                 // bits shifted in, newest in bit 0
    uint64_t output;                // bits still to send, next in bit 63
    uint8_t data[EepromDataBytes];  // 64 blocks of 8 bytes, each a little-endian 64-bit value
    uint8_t headerBits;             // header bits still expected (0..7)
    uint8_t dataBits;               // data bits still expected after a write header (0..64)
    uint8_t leadingZeros;           // zero bits still to send before the data of a read (0..4)
    uint32_t blockOffset;           // byte offset of the current block: block number x 8
    uint8_t trace;                  // backup-chip trace switch
    uint8_t* reply;                 // start of Dummy RAM
};

extern Eeprom EepromChip;

void EepromWriteBit(uint32_t value);
uint32_t EepromReadBit();
// Idle, output register all ones, reply area at the start of Dummy RAM. The
// data bytes are left alone.
void InitEeprom(uint8_t* replyArea);

// The 544-byte little-endian record of save states. The reply pointer is not
// stored (its four bytes are written as 0).
void StoreEeprom(const Eeprom& chip, uint8_t out[EepromBytes]);
// Decodes a stored record into `chip`, keeping chip.reply. False, with `chip`
// untouched, when a counter or the block offset is out of its range.
bool LoadEeprom(Eeprom& chip, const uint8_t in[EepromBytes]);

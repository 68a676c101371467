// eeprom.h - the serial EEPROM reached bit by bit in regions 9, B, D and F:
// 512 bytes with 6-bit block numbers, or 8 KB with 14-bit ones.
//
// A game talks to the chip one bit per halfword access (usually through DMA):
// a request header (start bit, read flag, block number), for writes 64 data
// bits, then a stop bit. Reads answer with 4 zero bits and the 64 bits of the
// block. The chip also leaves its reply as a stream of halfwords at the start
// of Dummy RAM, which is what plain loads from 0x0D000000 see.
//
// Which chip a cartridge has: the 512-byte one, unless the image carries the
// EEPROM library's identification; then the chip becomes the 8 KB one when the
// game's first request by DMA has the length of a 14-bit request (17 or 81
// halfwords), or at start when the battery file holds 8 KB.
#pragma once

#include <cstdint>

constexpr int EepromBytes = 544;
// The data bytes of the 512-byte chip, and of the state record.
constexpr int EepromDataBytes = 512;
constexpr int LargeEepromDataBytes = 8 * 1024;

enum class EepromKind : uint8_t {
    Small,      // 512 bytes, 6-bit block numbers
    Announced,  // the image names the EEPROM library: small until a 14-bit request
    Large,      // 8 KB, 14-bit block numbers (the low 10 bits used)
};
// Halfwords of the reply stream: 4 leading zeros and 64 data bits.
constexpr int EepromReplyBytes = 136;

struct Eeprom {
    uint64_t input;                      // bits shifted in, newest in bit 0
    uint64_t output;                     // bits still to send, next in bit 63
    uint8_t data[LargeEepromDataBytes];  // blocks of 8 bytes, each a little-endian 64-bit value
    uint8_t headerBits;                  // header bits still expected (0..7, 0..15 on the 8 KB chip)
    uint8_t dataBits;                    // data bits still expected after a write header (0..64)
    uint8_t leadingZeros;                // zero bits still to send before the data of a read (0..4)
    uint32_t blockOffset;                // byte offset of the current block: block number x 8
    uint8_t trace;                       // backup-chip trace switch
    uint8_t* reply;                      // start of Dummy RAM
    EepromKind kind;                     // not part of the record: the cartridge's chip
};

// Data bytes of the chip: 512 or 8192.
inline int EepromSize(const Eeprom& chip) {
    return chip.kind == EepromKind::Large ? LargeEepromDataBytes : EepromDataBytes;
}

extern Eeprom EepromChip;

void EepromWriteBit(uint32_t value);
uint32_t EepromReadBit();
// Idle, output register all ones, reply area at the start of Dummy RAM. The
// data bytes and the kind are left alone.
void InitEeprom(uint8_t* replyArea);
// A DMA transfer of `count` halfwords to the chip is starting: the request
// length tells an announced chip which one it is.
void NoteEepromTransfer(uint32_t count);

// The 544-byte little-endian record of save states. The reply pointer is not
// stored (its four bytes are written as 0).
void StoreEeprom(const Eeprom& chip, uint8_t out[EepromBytes]);
// Decodes a stored record into `chip`, keeping chip.reply, chip.kind and the
// data past the first 512 bytes. False, with `chip` untouched, when a counter
// or the block offset is out of its range for chip.kind.
bool LoadEeprom(Eeprom& chip, const uint8_t in[EepromBytes]);

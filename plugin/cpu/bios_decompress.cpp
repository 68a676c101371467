// bios_decompress.cpp - the BIOS decompressors: LZ77, run-length, Huffman and
// the 8- and 16-bit difference filters.
//
// Every stream starts with a 32-bit header: the type in bits 7-4 (and for the
// difference filters the unit in bits 3-0), the uncompressed size in bits
// 31-8 (at most 16 MB). A header of the wrong type does nothing. The stream
// data follows the header; output goes to the destination through the bus.
//
// Stream data comes from the game and may be malformed. Each decoder is
// bounded by the size from the header, so the host never loops without end
// and never touches memory outside the bus:
//   - LZ77 and run-length: every flag byte produces at least one output byte.
//   - Huffman: symbol widths outside 1..8 are refused (width 0 would never
//     complete a word), and a code longer than the tree can hold ends the
//     decoding, so input beyond what the output could need is never read and
//     a tree that never reaches a leaf ends too.
//   - Difference filters: one element per step; the 16-bit filter stops when
//     fewer than 2 bytes remain, so an odd size ends too.
#include <algorithm>

#include "../machine/memory.h"
#include "bios_calls.h"

namespace Bios {
namespace {

constexpr uint32_t Lz77Type = 0x10;
constexpr uint32_t HuffmanType = 0x20;
constexpr uint32_t RunLengthType = 0x30;
constexpr uint32_t Diff8Header = 0x81;
constexpr uint32_t Diff16Header = 0x82;

uint32_t SizeOf(uint32_t header) { return header >> 8; }

}  // namespace

void Lz77UnComp(uint32_t source, uint32_t dest) {
    uint32_t header = MemRead32(source);
    if ((header & 0xF0) != Lz77Type) return;
    uint32_t remaining = SizeOf(header);
    source += 4;
    while (remaining > 0) {
        uint32_t flags = MemRead8(source++);
        for (int bit = 7; bit >= 0 && remaining > 0; --bit) {
            if (!((flags >> bit) & 1)) {
                MemWrite8(dest++, MemRead8(source++));
                --remaining;
                continue;
            }
            uint32_t b0 = MemRead8(source++), b1 = MemRead8(source++);
            uint32_t length = std::min((b0 >> 4) + 3, remaining);
            uint32_t distance = (((b0 & 0xF) << 8) | b1) + 1;
            // Byte by byte through the bus, so a copy overlapping its own
            // output repeats the data (distance 1 repeats the last byte).
            for (uint32_t i = 0; i < length; ++i, ++dest) MemWrite8(dest, MemRead8(dest - distance));
            remaining -= length;
        }
    }
}

void RunLengthUnComp(uint32_t source, uint32_t dest) {
    uint32_t header = MemRead32(source);
    if ((header & 0xF0) != RunLengthType) return;
    uint32_t remaining = SizeOf(header);
    source += 4;
    while (remaining > 0) {
        uint32_t flag = MemRead8(source++);
        if (flag & 0x80) {
            uint32_t value = MemRead8(source++);
            uint32_t length = std::min((flag & 0x7F) + 3, remaining);
            for (uint32_t i = 0; i < length; ++i) MemWrite8(dest++, value);
            remaining -= length;
        } else {
            uint32_t length = std::min((flag & 0x7F) + 1, remaining);
            for (uint32_t i = 0; i < length; ++i) MemWrite8(dest++, MemRead8(source++));
            remaining -= length;
        }
    }
}

// Tree layout: a size byte s, then node pairs (the root sits beside the size
// byte), 2s + 2 bytes in all; the bit stream follows as 32-bit words read
// from bit 31 down. A node byte holds in bits 5-0 the offset of its child
// pair, counted in pairs from the pair after its own; bit 7 marks child 0 as
// a leaf, bit 6 child 1. Leaves hold a symbol of `width` bits; symbols fill
// 32-bit output words from bit 0 up.
//
// Every step of a walk moves to a later node pair, so a leaf inside the tree
// lies at most s + 1 bits below the root, and no symbol of a well-formed
// stream needs more input. A walk that has taken more steps has left the
// tree (or the tree has no leaf on that path): the data is malformed and
// decoding ends. The input read is thus bounded by the symbols the output
// needs times s + 1 bits, whatever memory holds.
void HuffUnComp(uint32_t source, uint32_t dest) {
    uint32_t header = MemRead32(source);
    uint32_t width = header & 0xF;
    if ((header & 0xF0) != HuffmanType || width < 1 || width > 8) return;
    uint32_t remaining = SizeOf(header);
    const uint32_t treeSize = MemRead8(source + 4);
    const uint32_t longestCode = treeSize + 1;
    const uint32_t root = source + 5;
    uint32_t stream = source + 4 + 2 * treeSize + 2;
    const uint32_t symbolMask = (1u << width) - 1;

    uint32_t node = root, nodeByte = MemRead8(root), depth = 0;
    uint32_t word = 0, wordBits = 0;
    uint64_t pending = 0;  // output bits not yet written, lowest first
    uint32_t pendingBits = 0;
    while (remaining > 0) {
        if (++depth > longestCode) return;
        if (wordBits == 0) {
            word = MemRead32(stream);
            stream += 4;
            wordBits = 32;
        }
        --wordBits;
        uint32_t bit = (word >> wordBits) & 1;
        uint32_t child = (node & ~1u) + (nodeByte & 0x3F) * 2 + 2 + bit;
        if (!(nodeByte & (0x80u >> bit))) {
            node = child;
            nodeByte = MemRead8(child);
            continue;
        }
        pending |= static_cast<uint64_t>(MemRead8(child) & symbolMask) << pendingBits;
        pendingBits += width;
        node = root;
        nodeByte = MemRead8(root);
        depth = 0;
        if (pendingBits >= 32) {
            MemWrite32(dest, static_cast<uint32_t>(pending));
            dest += 4;
            // The last word may overshoot a size that is not a multiple of 4.
            remaining = remaining > 4 ? remaining - 4 : 0;
            pending >>= 32;
            pendingBits -= 32;
        }
    }
}

void Diff8bitUnFilter(uint32_t source, uint32_t dest) {
    uint32_t header = MemRead32(source);
    if ((header & 0xFF) != Diff8Header) return;
    source += 4;
    // Reads run one element ahead of the writes, as the console's loop does.
    uint32_t value = MemRead8(source++);
    for (uint32_t remaining = SizeOf(header); remaining > 0; --remaining) {
        MemWrite8(dest++, value);
        value = (value + MemRead8(source++)) & 0xFF;
    }
}

void Diff16bitUnFilter(uint32_t source, uint32_t dest) {
    uint32_t header = MemRead32(source);
    if ((header & 0xFF) != Diff16Header) return;
    source += 4;
    uint32_t value = MemRead16(source);
    source += 2;
    // An odd size leaves a last byte that is not written.
    for (uint32_t remaining = SizeOf(header); remaining >= 2; remaining -= 2) {
        MemWrite16(dest, value);
        dest += 2;
        value = (value + MemRead16(source)) & 0xFFFF;
        source += 2;
    }
}

}  // namespace Bios

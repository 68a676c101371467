// bios_decompress_test.cpp - the decompressors on streams made by small
// encoders written here, on hand-made corner cases and on malformed data.
#include <algorithm>
#include <cstddef>
#include <queue>
#include <string>

#include "bios_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t Packed = 0x02000000;
constexpr uint32_t Out = 0x03000000;
constexpr uint8_t Sentinel = 0xEE;

void PutWord(Bytes& out, uint32_t word) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(word >> (8 * i)));
}

Bytes Header(uint32_t type, size_t size) {
    Bytes out;
    PutWord(out, type | static_cast<uint32_t>(size) << 8);
    return out;
}

void PadToWord(Bytes& out) {
    while (out.size() % 4) out.push_back(0);
}

// Test data with long repeats, short runs, and noise.
Bytes SampleData(size_t size) {
    const std::string text = "the quick brown fox jumps over the lazy dog; ";
    Bytes data;
    uint32_t seed = 12345;
    while (data.size() < size) {
        seed = seed * 1103515245 + 12345;
        switch ((seed >> 16) % 4) {
        case 0: data.insert(data.end(), text.begin(), text.end()); break;
        case 1: data.insert(data.end(), 3 + (seed >> 8) % 140, static_cast<uint8_t>(seed >> 24)); break;
        default:
            for (int i = 0; i < 20; ++i) {
                seed = seed * 1103515245 + 12345;
                data.push_back(static_cast<uint8_t>(seed >> 16));
            }
        }
    }
    data.resize(size);
    return data;
}

// Greedy LZ77: longest match within 4096 bytes back, lengths 3..18.
Bytes Lz77Encode(const Bytes& in) {
    Bytes out = Header(0x10, in.size());
    size_t i = 0;
    while (i < in.size()) {
        size_t flagAt = out.size();
        out.push_back(0);
        for (int bit = 7; bit >= 0 && i < in.size(); --bit) {
            size_t bestLength = 0, bestDistance = 0;
            for (size_t d = 1; d <= std::min<size_t>(i, 4096); ++d) {
                size_t length = 0;
                while (length < 18 && i + length < in.size() && in[i + length] == in[i + length - d]) ++length;
                if (length > bestLength) bestLength = length, bestDistance = d;
            }
            if (bestLength >= 3) {
                out[flagAt] |= static_cast<uint8_t>(1 << bit);
                out.push_back(static_cast<uint8_t>((bestLength - 3) << 4 | (bestDistance - 1) >> 8));
                out.push_back(static_cast<uint8_t>(bestDistance - 1));
                i += bestLength;
            } else {
                out.push_back(in[i++]);
            }
        }
    }
    PadToWord(out);
    return out;
}

// Runs of 3..130 equal bytes, literal stretches of 1..128.
Bytes RunLengthEncode(const Bytes& in) {
    Bytes out = Header(0x30, in.size());
    auto runAt = [&](size_t i) {
        size_t n = 1;
        while (n < 130 && i + n < in.size() && in[i + n] == in[i]) ++n;
        return n;
    };
    size_t i = 0;
    while (i < in.size()) {
        size_t run = runAt(i);
        if (run >= 3) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 3)));
            out.push_back(in[i]);
            i += run;
            continue;
        }
        size_t start = i;
        while (i < in.size() && i - start < 128 && runAt(i) < 3) ++i;
        out.push_back(static_cast<uint8_t>(i - start - 1));
        out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(start),
                   in.begin() + static_cast<std::ptrdiff_t>(i));
    }
    PadToWord(out);
    return out;
}

// Huffman coding of `width`-bit symbols (bytes split lowest bits first).
// The tree is laid out breadth first, which keeps child offsets small.
Bytes HuffmanEncode(const Bytes& in, int width) {
    std::vector<uint32_t> symbols;
    for (uint8_t byte : in)
        for (int shift = 0; shift < 8; shift += width) symbols.push_back((byte >> shift) & ((1u << width) - 1));

    struct Node {
        uint64_t weight;
        int child[2];
        uint32_t symbol;
    };
    std::vector<Node> nodes;
    std::vector<uint64_t> counts(1u << width);
    for (uint32_t s : symbols) ++counts[s];
    for (uint32_t s = 0; s < counts.size(); ++s)
        if (counts[s]) nodes.push_back({counts[s], {-1, -1}, s});
    if (nodes.size() == 1) nodes.push_back({0, {-1, -1}, nodes[0].symbol ^ 1});
    using Entry = std::pair<uint64_t, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    for (int n = 0; n < static_cast<int>(nodes.size()); ++n) queue.push({nodes[n].weight, n});
    while (queue.size() > 1) {
        Entry a = queue.top();
        queue.pop();
        Entry b = queue.top();
        queue.pop();
        nodes.push_back({a.first + b.first, {a.second, b.second}, 0});
        queue.push({a.first + b.first, static_cast<int>(nodes.size()) - 1});
    }
    const int root = queue.top().second;

    std::vector<std::vector<int>> codes(1u << width);
    std::vector<std::pair<int, std::vector<int>>> stack = {{root, {}}};
    while (!stack.empty()) {
        auto [n, code] = stack.back();
        stack.pop_back();
        if (nodes[n].child[0] < 0) {
            codes[nodes[n].symbol] = code;
            continue;
        }
        for (int k = 0; k < 2; ++k) {
            std::vector<int> longer = code;
            longer.push_back(k);
            stack.push_back({nodes[n].child[k], longer});
        }
    }

    Bytes tree(2, 0);
    std::queue<std::pair<int, size_t>> pending;  // internal node, its byte in the tree
    pending.push({root, 1});
    size_t pairs = 1;
    while (!pending.empty()) {
        auto [n, at] = pending.front();
        pending.pop();
        size_t pair = pairs++;
        tree.resize(2 * pairs);
        size_t offset = pair - at / 2 - 1;
        EXPECT_LE(offset, 63u) << "tree too wide for this simple layout";
        uint8_t nodeByte = static_cast<uint8_t>(offset);
        for (int k = 0; k < 2; ++k) {
            const Node& c = nodes[nodes[n].child[k]];
            if (c.child[0] < 0) {
                nodeByte |= static_cast<uint8_t>(0x80 >> k);
                tree[2 * pair + k] = static_cast<uint8_t>(c.symbol);
            } else {
                pending.push({nodes[n].child[k], 2 * pair + k});
            }
        }
        tree[at] = nodeByte;
    }
    if (pairs % 2) tree.resize(2 * ++pairs);  // the bit stream starts word-aligned
    tree[0] = static_cast<uint8_t>(pairs - 1);

    Bytes out = Header(0x20 | width, in.size());
    out.insert(out.end(), tree.begin(), tree.end());
    uint32_t word = 0;
    int used = 0;
    for (uint32_t s : symbols)
        for (int bit : codes[s]) {
            word |= static_cast<uint32_t>(bit) << (31 - used);
            if (++used == 32) PutWord(out, word), word = 0, used = 0;
        }
    if (used) PutWord(out, word);
    return out;
}

Bytes Diff8Encode(const Bytes& in) {
    Bytes out = Header(0x81, in.size());
    for (size_t i = 0; i < in.size(); ++i) out.push_back(static_cast<uint8_t>(in[i] - (i ? in[i - 1] : 0)));
    PadToWord(out);
    return out;
}

Bytes Diff16Encode(const Bytes& in) {
    Bytes out = Header(0x82, in.size());
    uint16_t previous = 0;
    for (size_t i = 0; i + 1 < in.size(); i += 2) {
        uint16_t value = static_cast<uint16_t>(in[i] | in[i + 1] << 8);
        uint16_t delta = static_cast<uint16_t>(value - previous);
        out.push_back(static_cast<uint8_t>(delta));
        out.push_back(static_cast<uint8_t>(delta >> 8));
        previous = value;
    }
    PadToWord(out);
    return out;
}

class Decompressor : public BiosTest {
protected:
    // Places the packed stream, runs the call into `dest` and returns the
    // output plus the four bytes after it.
    static Bytes Unpack(uint32_t number, const Bytes& packed, size_t size, uint32_t dest = Out) {
        Poke(Packed, packed);
        Fill(dest, size + 4, Sentinel);
        Call(number, Packed, dest);
        return Peek(dest, size + 4);
    }
    static Bytes WithSentinel(Bytes data) {
        data.insert(data.end(), 4, Sentinel);
        return data;
    }
};

TEST_F(Decompressor, Lz77RoundTripsInBothVariants) {
    Bytes data = SampleData(3000);
    Bytes packed = Lz77Encode(data);
    ASSERT_LT(packed.size(), data.size()) << "the sample must exercise back-references";
    EXPECT_EQ(Unpack(0x11, packed, data.size()), WithSentinel(data));
    EXPECT_EQ(Unpack(0x12, packed, data.size(), 0x06000000), WithSentinel(data));
}

TEST_F(Decompressor, Lz77DistanceOneRepeatsTheLastByteAndStopsAtTheSize) {
    // Literal 'A', then a reference of length 9 at distance 1.
    Bytes stream = Header(0x10, 10);
    stream.insert(stream.end(), {0x40, 'A', 0x60, 0x00});
    EXPECT_EQ(Unpack(0x11, stream, 10), WithSentinel(Bytes(10, 'A')));
    stream = Header(0x10, 5);
    stream.insert(stream.end(), {0x40, 'A', 0x60, 0x00});
    EXPECT_EQ(Unpack(0x11, stream, 5), WithSentinel(Bytes(5, 'A'))) << "a reference is cut at the size";
}

TEST_F(Decompressor, RunLengthRoundTripsAndCutsARunAtTheSize) {
    Bytes data = SampleData(3000);
    Bytes packed = RunLengthEncode(data);
    ASSERT_LT(packed.size(), data.size());
    EXPECT_EQ(Unpack(0x14, packed, data.size()), WithSentinel(data));
    EXPECT_EQ(Unpack(0x15, packed, data.size(), 0x06000000), WithSentinel(data));

    Bytes stream = Header(0x30, 5);
    stream.insert(stream.end(), {0x87, 0x33, 0x00, 0x00});
    EXPECT_EQ(Unpack(0x14, stream, 5), WithSentinel(Bytes(5, 0x33)));
}

TEST_F(Decompressor, HuffmanRoundTripsWithByteAndNibbleSymbols) {
    std::string text = "she sells sea shells by the sea shore, the shells she sells are sea shells for sure. ";
    Bytes data;
    while (data.size() < 1200) data.insert(data.end(), text.begin(), text.end());
    data.resize(1200);
    EXPECT_EQ(Unpack(0x13, HuffmanEncode(data, 8), data.size()), WithSentinel(data));
    Bytes noisy = SampleData(1000);
    EXPECT_EQ(Unpack(0x13, HuffmanEncode(noisy, 4), noisy.size()), WithSentinel(noisy));
    EXPECT_EQ(Unpack(0x13, HuffmanEncode(noisy, 2), noisy.size()), WithSentinel(noisy));
    // Symbols 0 and 1 once, symbol k 2^(k-1) times: a chain tree whose
    // longest code is as deep as the tree allows.
    Bytes skewed = {0, 1};
    for (uint8_t k = 2; k < 10; ++k) skewed.insert(skewed.end(), size_t{1} << (k - 1), k);
    Bytes packed = HuffmanEncode(skewed, 8);
    ASSERT_EQ(packed[4], 9) << "nine node pairs below the root";
    EXPECT_EQ(Unpack(0x13, packed, skewed.size()), WithSentinel(skewed));
    Bytes flat(64, 0x77);
    EXPECT_EQ(Unpack(0x13, HuffmanEncode(flat, 8), flat.size()), WithSentinel(flat));
}

TEST_F(Decompressor, DifferenceFiltersRoundTrip) {
    Bytes data = SampleData(999);
    EXPECT_EQ(Unpack(0x16, Diff8Encode(data), data.size()), WithSentinel(data));
    EXPECT_EQ(Unpack(0x17, Diff8Encode(data), data.size(), 0x06000000), WithSentinel(data));
    data.resize(998);
    EXPECT_EQ(Unpack(0x18, Diff16Encode(data), data.size()), WithSentinel(data));
}

TEST_F(Decompressor, OddSizeSixteenBitFilterStopsBeforeTheLastByte) {
    Bytes data = {1, 2, 3, 4, 5, 6, 7};
    Bytes expected = {1, 2, 3, 4, 5, 6, Sentinel};
    EXPECT_EQ(Unpack(0x18, Diff16Encode(data), data.size()), WithSentinel(expected));
}

TEST_F(Decompressor, WrongHeaderWritesNothing) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0x11, 0x30}, {0x12, 0x20}, {0x13, 0x18}, {0x14, 0x10}, {0x15, 0x00},
        {0x16, 0x82}, {0x17, 0x91}, {0x18, 0x81}, {0x18, 0x92},
    };
    for (auto [number, type] : cases) {
        Bytes stream = Header(type, 16);
        stream.insert(stream.end(), 32, 0x41);
        EXPECT_EQ(Unpack(number, stream, 16), WithSentinel(Bytes(16, Sentinel)))
            << "call " << number << " header " << type;
        EXPECT_EQ(Cpu.r[0], Packed);
        EXPECT_EQ(Cpu.r[1], Out);
    }
}

TEST_F(Decompressor, HuffmanWidthOutsideOneToEightIsAWrongHeader) {
    Bytes valid = HuffmanEncode(Bytes(16, 0x5A), 8);
    for (uint8_t width : {0, 9, 15}) {
        Bytes stream = valid;
        stream[0] = static_cast<uint8_t>(0x20 | width);
        EXPECT_EQ(Unpack(0x13, stream, 16), WithSentinel(Bytes(16, Sentinel))) << int(width);
    }
}

TEST_F(Decompressor, HuffmanTreeWithoutLeavesEnds) {
    // Every node points at the next pair and marks no child as a leaf, so a
    // walk never produces a symbol; the zeroed memory past the tree does the same.
    Bytes stream = Header(0x28, 0x1000);
    stream.insert(stream.end(), {3, 0, 0, 0, 0, 0, 0, 0});
    stream.insert(stream.end(), 64, 0x00);
    EXPECT_EQ(Unpack(0x13, stream, 0x1000), WithSentinel(Bytes(0x1000, Sentinel)));
}

TEST_F(Decompressor, OutputWrapsThroughTheBusAddressSpace) {
    // Past 0x0FFFFFFF the output continues at 0 (BIOS writes land in Dummy RAM).
    Bytes stream = Header(0x30, 4);
    stream.insert(stream.end(), {0x81, 0x5A, 0x00, 0x00});
    Poke(Packed, stream);
    Call(0x14, Packed, 0xFFFFFFFE);
    EXPECT_EQ(PeekHalf(0x0FFFFFFE), 0x5A5Au);
    EXPECT_EQ(PeekHalf(0x01000000), 0x5A5Au);
    EXPECT_EQ(PeekWord(0x00000000), 0xE3A0F302u);
}

TEST_F(Decompressor, HugeSizesEndWithEveryAccessOnTheBus) {
    // A 16 MB size read from the top of the address space: stream and output
    // wrap through unmapped pages, the BIOS and work RAM, and every decoder
    // ends after work proportional to the size.
    const std::pair<uint32_t, uint32_t> calls[] = {
        {0x11, 0x10}, {0x13, 0x28}, {0x14, 0x30}, {0x16, 0x81}, {0x18, 0x82}};
    for (auto [number, type] : calls) {
        MemWrite32(0x0FFFFFF8, 0xFFFFFF00 | type);
        MemWrite32(0x0FFFFFFC, 0);  // Huffman: a tree of one pair
        Call(number, 0xFFFFFFF8, 0xFFFFFF00);
        EXPECT_EQ(Cpu.r[15], 0x08000104u) << number;
    }
}

}  // namespace

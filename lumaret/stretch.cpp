// stretch.cpp - nearest-neighbour RGB565 to 32-bit stretching.
#include "stretch.h"

#include <cstddef>
#include <cstring>

namespace Lumaret {

namespace {

// Rgb32FromRgb565 by bytes: red and the top three bits of green lie in the high
// byte, the rest of green and blue in the low one, and the widened parts of the
// two never share a bit, so a pixel is the OR of two small table entries.
struct ByteTables {
    uint32_t high[256];
    uint32_t low[256];
};

constexpr ByteTables MakeByteTables() {
    ByteTables tables{};
    for (uint32_t b = 0; b < 256; ++b) {
        tables.high[b] = Rgb32FromRgb565(static_cast<uint16_t>(b << 8));
        tables.low[b] = Rgb32FromRgb565(static_cast<uint16_t>(b));
    }
    return tables;
}

constexpr ByteTables Bytes = MakeByteTables();

inline uint32_t Convert(uint16_t p) { return Bytes.high[p >> 8] | Bytes.low[p & 0xFF]; }

// A row at its own width. Blocks of sixteen pixels of a fixed length let the
// compiler convert them with vector instructions, each pixel's two halves in
// 16-bit lanes; the rest go one by one. Every frame shown passes through here,
// so processors with AVX2 get their own copy that converts a block at a time.
__attribute__((target_clones("avx2", "default"))) void ConvertRow(const uint16_t* in, uint32_t* out, int width) {
    constexpr int Block = 16;
    int i = 0;
    for (; i + Block <= width; i += Block) {
        uint16_t high[Block], low[Block];
        for (int k = 0; k < Block; ++k) {
            high[k] = Rgb32High(in[i + k]);
            low[k] = Rgb32Low(in[i + k]);
        }
        for (int k = 0; k < Block; ++k) out[i + k] = static_cast<uint32_t>(high[k]) << 16 | low[k];
    }
    for (; i < width; ++i) out[i] = Convert(in[i]);
}

// Source index (0-based) under the centre of target index i of `full` targets.
int SourceIndex(int i, int sourceCount, int full) {
    return static_cast<int>((2 * static_cast<int64_t>(i) + 1) * sourceCount / (2 * static_cast<int64_t>(full)));
}

}  // namespace

void Stretcher::Stretch(const StretchSource& source, const StretchTarget& target) {
    columns_.resize(target.width);
    for (int i = 0; i < target.width; ++i)
        columns_[i] = SourceIndex(target.offsetX + i, source.width, target.fullWidth);
    row_.resize(source.width);

    // One source column to each target column (the picture shown at its own
    // width): rows convert straight across, without the column table.
    const bool sameWidth = target.width == source.width && target.fullWidth == source.width && target.offsetX == 0;
    int convertedRow = -1;
    const uint32_t* previous = nullptr;
    for (int j = 0; j < target.height; ++j) {
        uint32_t* out = target.pixels + static_cast<ptrdiff_t>(j) * target.pitch;
        const int sourceRow = SourceIndex(target.offsetY + j, source.height, target.fullHeight);
        // Enlarged pictures repeat rows: copy the row just made instead of redoing it.
        if (sourceRow == convertedRow) {
            std::memcpy(out, previous, sizeof(uint32_t) * target.width);
            continue;
        }
        const uint16_t* in = source.pixels + static_cast<ptrdiff_t>(source.y + sourceRow) * source.pitch + source.x;
        if (sameWidth) {
            ConvertRow(in, out, target.width);
        } else {
            for (int i = 0; i < source.width; ++i) row_[i] = Convert(in[i]);
            for (int i = 0; i < target.width; ++i) out[i] = row_[columns_[i]];
        }
        convertedRow = sourceRow;
        previous = out;
    }
}

}  // namespace Lumaret

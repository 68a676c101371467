// stretch.cpp - nearest-neighbour RGB565 to 32-bit stretching.
#include "stretch.h"

#include <cstddef>
#include <cstring>

namespace Lumaret {

namespace {

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
        for (int i = 0; i < source.width; ++i) row_[i] = Rgb32FromRgb565(in[i]);
        for (int i = 0; i < target.width; ++i) out[i] = row_[columns_[i]];
        convertedRow = sourceRow;
        previous = out;
    }
}

}  // namespace Lumaret

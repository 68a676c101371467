// stretch.h - nearest-neighbour stretch of an RGB565 rectangle into 32-bit
// 0xFFRRGGBB pixels, converting and scaling in one pass.
#pragma once

#include <cstdint>
#include <vector>

namespace Lumaret {

// Source: RGB565 rows `pitch` pixels apart, rectangle (x, y, width, height).
struct StretchSource {
    const uint16_t* pixels;
    int pitch;
    int x, y, width, height;
};

// Destination: the part (offsetX, offsetY, width, height) of a picture that the
// whole source rectangle would fill at `fullWidth` x `fullHeight`; rows `pitch`
// pixels apart.
struct StretchTarget {
    uint32_t* pixels;
    int pitch;
    int fullWidth, fullHeight;
    int offsetX, offsetY, width, height;
};

// The colour a 16-bit RGB565 pixel shows as, each component widened by repeating
// its top bits (31 -> 255, 63 -> 255).
constexpr uint32_t Rgb32FromRgb565(uint16_t p) {
    const uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    return 0xFF000000u | ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// Each target pixel takes the source pixel under its centre, so integer factors
// repeat every source pixel exactly factor times. Keeps its work buffers between
// calls, so stretching frame after frame allocates nothing.
class Stretcher {
public:
    void Stretch(const StretchSource& source, const StretchTarget& target);

private:
    std::vector<int> columns_;   // source column of each target column
    std::vector<uint32_t> row_;  // one source row converted
};

}  // namespace Lumaret

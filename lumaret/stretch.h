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
// its top bits (31 -> 255, 63 -> 255), built from two 16-bit halves: alpha and
// red, and green and blue (so that eight pixels convert in one vector register).
constexpr uint16_t Rgb32High(uint16_t p) { return static_cast<uint16_t>(0xFF00 | ((p >> 8) & 0xF8) | (p >> 13)); }
constexpr uint16_t Rgb32Low(uint16_t p) {
    return static_cast<uint16_t>(((p << 5) & 0xFC00) | ((p >> 1) & 0x0300) | ((p << 3) & 0xF8) | ((p >> 2) & 0x07));
}
constexpr uint32_t Rgb32FromRgb565(uint16_t p) { return static_cast<uint32_t>(Rgb32High(p)) << 16 | Rgb32Low(p); }

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

// png_file.h - PNG files of frames: the runner's and the program's screenshots and
// the tests' reference images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Png {

// 8-bit RGB image, rows top to bottom, three bytes per pixel.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// RGB565 pixels to 8-bit RGB; each field is widened by repeating its top bits,
// so full intensity stays 255 and black stays 0.
RgbImage ImageFromRgb565(const uint16_t* pixels, int width, int height);

// False when the file cannot be written or read, or is not an 8-bit RGB(A) PNG.
bool WritePng(const std::string& path, const RgbImage& image);
bool ReadPng(const std::string& path, RgbImage& image);

}  // namespace Png

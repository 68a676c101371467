// png_file.cpp - PNG reading and writing with libpng's simplified interface;
// screenshots replace their file atomically.
#include "png_file.h"

#include <png.h>

#include "platform/file_replace.h"

namespace Png {

RgbImage ImageFromRgb565(const uint16_t* pixels, int width, int height) {
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        uint32_t p = pixels[i], r = p >> 11, g = (p >> 5) & 63, b = p & 31;
        image.pixels[3 * i] = static_cast<uint8_t>(r << 3 | r >> 2);
        image.pixels[3 * i + 1] = static_cast<uint8_t>(g << 2 | g >> 4);
        image.pixels[3 * i + 2] = static_cast<uint8_t>(b << 3 | b >> 2);
    }
    return image;
}

bool WritePng(const std::string& path, const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * 3)
        return false;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    // Encoded in memory first, so that the file is replaced only by a whole picture.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.pixels.data(), 0, nullptr)) return false;
    std::vector<uint8_t> encoded(size);
    if (!png_image_write_to_memory(&png, encoded.data(), &size, 0, image.pixels.data(), 0, nullptr)) return false;
    ReplacementFile file(path);
    return file.Write(encoded.data(), size) && file.Commit(false);
}

bool ReadPng(const std::string& path, RgbImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels = std::move(pixels);
    return true;
}

}  // namespace Png

// cartridge_images.h - cartridge images made by the tests: a valid header over
// an idle program, written plain or gzip-compressed.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct ImageHeader {
    std::string title = "SAVETEST";
    std::string code = "TSVE";
    std::string maker = "01";
    uint8_t version = 0;
    uint8_t unit = 0;
    uint8_t device = 0;
};

// An image of `size` bytes (at least the 192-byte header unless smaller is
// asked for): B 0x080000C0, the header with its complement, then B . at 0xC0.
inline std::vector<uint8_t> MakeImage(size_t size, const ImageHeader& h = ImageHeader()) {
    std::vector<uint8_t> image(std::max<size_t>(size, 0xC4), 0);
    const uint32_t words[2] = {0xEA00002E, 0xEAFFFFFE};
    for (int i = 0; i < 4; ++i) {
        image[i] = static_cast<uint8_t>(words[0] >> (8 * i));
        image[0xC0 + i] = static_cast<uint8_t>(words[1] >> (8 * i));
    }
    for (size_t i = 0; i < 12 && i < h.title.size(); ++i) image[0xA0 + i] = static_cast<uint8_t>(h.title[i]);
    for (size_t i = 0; i < 4 && i < h.code.size(); ++i) image[0xAC + i] = static_cast<uint8_t>(h.code[i]);
    for (size_t i = 0; i < 2 && i < h.maker.size(); ++i) image[0xB0 + i] = static_cast<uint8_t>(h.maker[i]);
    image[0xB2] = 0x96;
    image[0xB3] = h.unit;
    image[0xB4] = h.device;
    image[0xBC] = h.version;
    uint32_t sum = 0;
    for (size_t i = 0xA0; i <= 0xBC; ++i) sum += image[i];
    image[0xBD] = static_cast<uint8_t>(0xE7 - sum);
    image.resize(size);
    return image;
}

inline bool WriteGzip(const std::string& path, const std::vector<uint8_t>& bytes) {
    gzFile file = gzopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = bytes.empty() ||
              gzwrite(file, bytes.data(), static_cast<unsigned>(bytes.size())) == static_cast<int>(bytes.size());
    return gzclose(file) == Z_OK && ok;
}

inline std::vector<uint8_t> ReadGzip(const std::string& path) {
    std::vector<uint8_t> out;
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) return out;
    uint8_t chunk[65536];
    int n;
    while ((n = gzread(file, chunk, sizeof chunk)) > 0) out.insert(out.end(), chunk, chunk + n);
    gzclose(file);
    return out;
}

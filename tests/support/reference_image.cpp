// reference_image.cpp - comparing frames with reviewed reference pictures.
#include "reference_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "png_file.h"
#include "video/renderer.h"

void ExpectMatchesReferenceImage(const std::string& expectedPath, const uint16_t* frame) {
    std::string name = std::filesystem::path(expectedPath).stem().string();
    Png::RgbImage actual = Png::ImageFromRgb565(frame, ScreenWidth, ScreenHeight);
    const char* update = std::getenv("TAMBORIL_UPDATE_REFERENCES");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(Png::WritePng(expectedPath, actual)) << expectedPath;
        return;
    }
    Png::RgbImage expected;
    bool same = Png::ReadPng(expectedPath, expected) && expected.width == actual.width &&
                expected.height == actual.height && expected.pixels == actual.pixels;
    if (same) return;
    std::filesystem::path folder = std::filesystem::path(TAMBORIL_BIN_DIR).parent_path() / "video-actual";
    std::filesystem::create_directories(folder);
    std::string actualPath = (folder / (name + ".png")).string();
    Png::WritePng(actualPath, actual);
    size_t differing = 0;
    int first = -1;
    for (size_t i = 0; i < actual.pixels.size() && expected.pixels.size() == actual.pixels.size(); i += 3)
        if (std::memcmp(&actual.pixels[i], &expected.pixels[i], 3)) {
            if (first < 0) first = static_cast<int>(i / 3);
            ++differing;
        }
    ADD_FAILURE() << name << ": picture differs from " << expectedPath << " (" << differing
                  << " pixels, first at x=" << (first % ScreenWidth) << " y=" << (first / ScreenWidth)
                  << "); actual picture written to " << actualPath;
}

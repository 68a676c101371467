// output_files_test.cpp - the runner's WAV and PNG files: an empty sound, links
// written through, and failed writes that keep the previous file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "audio.h"
#include "png_file.h"
#include "test_support.h"

namespace {

TEST(OutputFiles, NoSamplesGiveAnEmptyWav) {
    TempDir dir;
    ASSERT_TRUE(Headless::WriteWav(dir.File("silent.wav"), {}, 22050));
    const std::vector<uint8_t> wav = ReadFileBytes(dir.File("silent.wav"));
    ASSERT_EQ(wav.size(), 44u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(wav[4], 36) << "RIFF size: the header alone";
    EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
    EXPECT_EQ(wav[40] | wav[41] | wav[42] | wav[43], 0) << "an empty data chunk";
}

TEST(OutputFiles, LinksAreWrittenThroughAndFailuresKeepThePreviousFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("out"));
    ASSERT_EQ(symlink("out/sound.wav", dir.File("sound.wav").c_str()), 0);
    ASSERT_EQ(symlink("out/shot.png", dir.File("shot.png").c_str()), 0);
    const std::vector<uint8_t> samples(1000, 200);
    Png::RgbImage image{2, 2, std::vector<uint8_t>(12, 99)};
    ASSERT_TRUE(Headless::WriteWav(dir.File("sound.wav"), samples, 22050));
    ASSERT_TRUE(Png::WritePng(dir.File("shot.png"), image));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("sound.wav")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("shot.png")));
    const std::vector<uint8_t> wav = ReadFileBytes(dir.File("out/sound.wav"));
    const std::vector<uint8_t> png = ReadFileBytes(dir.File("out/shot.png"));
    EXPECT_EQ(wav.size(), 1044u);
    Png::RgbImage back;
    ASSERT_TRUE(Png::ReadPng(dir.File("out/shot.png"), back));
    EXPECT_EQ(back.pixels, image.pixels);

    {
        FileSizeLimit full(40);
        EXPECT_FALSE(Headless::WriteWav(dir.File("sound.wav"), std::vector<uint8_t>(5000, 1), 22050));
        EXPECT_FALSE(
            Png::WritePng(dir.File("shot.png"), Png::RgbImage{64, 64, std::vector<uint8_t>(64 * 64 * 3, 7)}));
    }
    EXPECT_EQ(ReadFileBytes(dir.File("out/sound.wav")), wav);
    EXPECT_EQ(ReadFileBytes(dir.File("out/shot.png")), png);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("out")), {}), 2);
}

}  // namespace

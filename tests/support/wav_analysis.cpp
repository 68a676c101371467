// wav_analysis.cpp - WAV reading and tone measurement for the sound tests.
#include "wav_analysis.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace {

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

}  // namespace

Wav ReadWav(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    Wav wav;
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44) return wav;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(Le(bytes, 4, 4), bytes.size() - 8);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le(bytes, 16, 4), 16u);
    EXPECT_EQ(Le(bytes, 20, 2), 1u) << "PCM";
    EXPECT_EQ(Le(bytes, 22, 2), 1u) << "mono";
    wav.rate = Le(bytes, 24, 4);
    EXPECT_EQ(Le(bytes, 28, 4), wav.rate) << "one byte per sample";
    EXPECT_EQ(Le(bytes, 32, 2), 1u);
    EXPECT_EQ(Le(bytes, 34, 2), 8u);
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    EXPECT_EQ(Le(bytes, 40, 4), bytes.size() - 44);
    wav.samples.assign(bytes.begin() + 44, bytes.end());
    return wav;
}

double Fundamental(const std::vector<uint8_t>& s, size_t begin, size_t end, double rate) {
    size_t first = 0, last = 0, crossings = 0;
    int side = 0;
    for (size_t i = begin; i < end && i < s.size(); ++i) {
        int now = s[i] > 128 ? 1 : s[i] < 128 ? -1 : 0;
        if (now == 0) continue;
        if (side < 0 && now > 0) {
            if (crossings++ == 0) first = i;
            last = i;
        }
        side = now;
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * rate / static_cast<double>(last - first);
}

bool Silent(const std::vector<uint8_t>& s, size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i)
        if (s.at(i) != 128) return false;
    return true;
}

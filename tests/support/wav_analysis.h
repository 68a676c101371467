// wav_analysis.h - reading the runner's WAV files and measuring what they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Wav {
    uint32_t rate = 0;
    std::vector<uint8_t> samples;
};

// Reads an 8-bit mono PCM WAV file, checking every header field.
Wav ReadWav(const std::string& path);
// Fundamental frequency of samples [begin, end) from its upward crossings of
// the silence level (samples exactly at 128 do not count as a side); 0 when
// there are fewer than two crossings.
double Fundamental(const std::vector<uint8_t>& s, size_t begin, size_t end, double rate);
// True when samples [begin, end) are all at the silence level 128.
bool Silent(const std::vector<uint8_t>& s, size_t begin, size_t end);

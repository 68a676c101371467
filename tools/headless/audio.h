// audio.h - sound capture of a headless run: the synthesizer driven frame by frame, saved as WAV.
//
// The host opens the synthesizer before the machine starts (so the machine's
// reset reaches it through the voice dispatch) and, once per emulated frame,
// renders as many whole blocks as the frame's duration needs, the way the
// wave-out ring asks for a block each time the device has played one. A
// fractional carry keeps the count exact over time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Headless {

// Opens the synthesizer at `rate` Hz with the wave-out block size for that
// rate, at unity gain. False for a rate not above 0.
bool OpenAudio(int32_t rate);
void CloseAudio();
bool AudioIsOpen();

// Renders one emulated frame's worth of blocks (called at each vertical blank).
void RenderAudioFrame();
// Every sample rendered since OpenAudio: 8-bit unsigned mono, 128 = silence.
const std::vector<uint8_t>& AudioSamples();

// Writes 8-bit unsigned mono PCM as a RIFF WAVE file, replacing the file only
// when the whole of it was written (no samples give a WAV with an empty data
// chunk). False when writing failed.
bool WriteWav(const std::string& path, const std::vector<uint8_t>& samples, int32_t rate);

}  // namespace Headless

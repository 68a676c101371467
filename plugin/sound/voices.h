// voices.h - the voice dispatch between the sound-channel model and the synthesizer.
//
// Voices 0..3 are the tone channels, 4 and 5 the two direct-sound channels.
// A voice is a frequency in Hz, a volume 0..255, an instrument and, for
// sample loops, a block of signed 8-bit samples.
#pragma once

#include <cstdint>

enum Instrument : int32_t { InstrumentSquare = 0, InstrumentNoise = 1, InstrumentSampleLoop = 3 };

// 0 after machine start, 2 while the sound output is open, 3 when it is closed or sound is off.
extern int32_t SoundMode;

using ToneHandler = void (*)(int voice, int32_t frequency, int32_t volume);
using InstrumentHandler = void (*)(int voice, int32_t instrument);
using WaveHandler = void (*)(int voice, const int8_t* samples, int32_t count);
// Installs the synthesizer's handlers; null handlers are allowed (nothing is called).
void RegisterVoiceHandlers(ToneHandler tone, InstrumentHandler instrument, WaveHandler wave);

void SetVoiceTone(int voice, int32_t frequency, int32_t volume);
void SetVoiceInstrument(int voice, int32_t instrument);
void SetVoiceWave(int voice, const int8_t* samples, int32_t count);

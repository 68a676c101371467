// voices.h - the voice dispatch between the sound-channel model and the synthesizer.
//
// Voices 0..3 are the tone channels, 4 and 5 the two direct-sound channels.
// A voice is a frequency in Hz, a volume 0..255, an instrument and, for
// sample loops, a block of signed 8-bit samples. The dispatch is the only way
// voice changes reach the synthesizer; with no handler registered they are dropped.
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

// The object the registered handlers act on (the one synthesizer); null when none.
void SetVoiceSoundObject(void* object);
void* VoiceSoundObject();

// Ignores negative voices; clamps the volume to 0..255 and a negative frequency to 0.
void SetVoiceTone(int voice, int32_t frequency, int32_t volume);
// Ignores negative voices.
void SetVoiceInstrument(int voice, int32_t instrument);
// Ignores negative voices and counts not above 0. The samples stay owned by the caller.
void SetVoiceWave(int voice, const int8_t* samples, int32_t count);

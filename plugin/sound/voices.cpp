// voices.cpp - forwards voice changes to the registered synthesizer handlers.
#include "voices.h"

int32_t SoundMode;

namespace {
ToneHandler ToneSink = nullptr;
InstrumentHandler InstrumentSink = nullptr;
WaveHandler WaveSink = nullptr;
void* SoundObject = nullptr;
}  // namespace

void RegisterVoiceHandlers(ToneHandler tone, InstrumentHandler instrument, WaveHandler wave) {
    ToneSink = tone;
    InstrumentSink = instrument;
    WaveSink = wave;
}

void SetVoiceSoundObject(void* object) { SoundObject = object; }
void* VoiceSoundObject() { return SoundObject; }

void SetVoiceTone(int voice, int32_t frequency, int32_t volume) {
    if (voice < 0 || !ToneSink) return;
    if (volume < 0) volume = 0;
    if (volume > 255) volume = 255;
    if (frequency < 0) frequency = 0;
    ToneSink(voice, frequency, volume);
}

void SetVoiceInstrument(int voice, int32_t instrument) {
    if (voice < 0 || !InstrumentSink) return;
    InstrumentSink(voice, instrument);
}

void SetVoiceWave(int voice, const int8_t* samples, int32_t count) {
    if (voice < 0 || count <= 0 || !WaveSink) return;
    WaveSink(voice, samples, count);
}

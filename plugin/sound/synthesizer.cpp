// synthesizer.cpp - renders the six voices: square, noise and sample loop, then the output stage.
//
// Voice frequencies reach 131072 Hz (tone chip) and output rates go past
// 65535 Hz, so every step, span and product that can exceed 32 bits is
// computed in 64 bits; below those sizes the results are the 32-bit ones.
// Divisions truncate toward zero and right shifts of negative values are
// arithmetic, as C++ defines them.
#include "synthesizer.h"

#include <algorithm>

#include "voices.h"

namespace {

Synthesizer* Current() { return static_cast<Synthesizer*>(VoiceSoundObject()); }

void OnTone(int voice, int32_t frequency, int32_t volume) {
    if (Synthesizer* s = Current()) s->SetTone(voice, frequency, volume);
}

void OnInstrument(int voice, int32_t instrument) {
    if (Synthesizer* s = Current()) s->SetInstrument(voice, instrument);
}

void OnWave(int voice, const int8_t* samples, int32_t count) {
    if (Synthesizer* s = Current()) s->SetWave(voice, samples, count);
}

// Phase increment per output sample of a square or noise voice: a period is 0x10000.
uint64_t PhaseStep(int32_t frequency, int32_t rate) { return static_cast<uint64_t>((int64_t{frequency} << 16) / rate); }

}  // namespace

Synthesizer::Synthesizer() {
    enabled_.fill(true);
    RegisterVoiceHandlers(OnTone, OnInstrument, OnWave);
    SetVoiceSoundObject(this);
}

Synthesizer::~Synthesizer() {
    if (VoiceSoundObject() != this) return;
    RegisterVoiceHandlers(nullptr, nullptr, nullptr);
    SetVoiceSoundObject(nullptr);
}

bool Synthesizer::Open(int32_t rate, int32_t samplesPerBuffer) {
    if (IsOpen()) return true;
    if (rate <= 0 || samplesPerBuffer <= 0) return false;
    rate_ = rate;
    samplesPerBuffer_ = samplesPerBuffer;
    volume_ = std::make_unique<int32_t[]>(VoiceCount);
    frequency_ = std::make_unique<int32_t[]>(VoiceCount);
    phase_ = std::make_unique<uint64_t[]>(VoiceCount);
    type_ = std::make_unique<int32_t[]>(VoiceCount);
    accumulator_ = std::make_unique<int32_t[]>(samplesPerBuffer);  // zeroed
    for (int v = 0; v < VoiceCount; ++v) {
        type_[v] = samples_[v] ? InstrumentSampleLoop : v == 3 ? InstrumentNoise : InstrumentSquare;
        volume_[v] = frequency_[v] = 0;
        phase_[v] = 0;
    }
    SoundMode = 2;
    return true;
}

void Synthesizer::Close() {
    rate_ = 0;
    samplesPerBuffer_ = 0;
    volume_.reset();
    frequency_.reset();
    phase_.reset();
    accumulator_.reset();
    type_.reset();
    SoundMode = 3;
}

void Synthesizer::SetVoiceEnabled(int voice, bool enabled) {
    if (InRange(voice)) enabled_[voice] = enabled;
}

void Synthesizer::SetTone(int voice, int32_t frequency, int32_t volume) {
    if (!InRange(voice) || !IsOpen() || !enabled_[voice]) return;
    if (frequency == 0 || volume == 0) frequency = volume = 0;
    frequency_[voice] = frequency;
    volume_[voice] = volume;
}

void Synthesizer::SetInstrument(int voice, int32_t instrument) {
    if (InRange(voice) && type_) type_[voice] = instrument;
}

void Synthesizer::SetWave(int voice, const int8_t* samples, int32_t count) {
    if (!InRange(voice) || count <= 0) return;
    samples_[voice] = samples;
    sampleCount_[voice] = count;
    position_[voice] = 0;
    if (IsOpen()) {
        phase_[voice] = 0;
        type_[voice] = InstrumentSampleLoop;
    }
}

void Synthesizer::FillBuffer(uint8_t* block) {
    if (!IsOpen()) return;
    for (int v = 0; v < VoiceCount; ++v) {
        int32_t f = frequency_[v], a = volume_[v];
        if (f == 0 || a == 0 || !enabled_[v]) continue;
        switch (type_[v]) {
        case InstrumentNoise:
            if (noise_) AddNoise(v, f, a);
            break;
        case InstrumentSampleLoop:
            if (samples_[v] && sampleCount_[v] > 0) AddSampleLoop(v, f, a);
            break;
        default: AddSquare(v, f, a); break;
        }
    }
    // Master volume 10 is unity gain: (x * 256) >> 9 halves the sum of voices.
    const int64_t gain = int64_t{masterVolume_} * 256 / 10;
    int32_t* acc = accumulator_.get();
    for (int32_t i = 0; i < samplesPerBuffer_; ++i) {
        int64_t s = std::clamp<int64_t>((acc[i] * gain) >> 9, -128, 127);
        block[i] = static_cast<uint8_t>(s + 128);
        acc[i] = 0;
    }
}

// Half duty: +a while bit 15 of the phase stays set, -a while it stays clear,
// and a silent sample where it flips. The phase wraps freely; the step is
// taken modulo 2^64 like the phase, which leaves bit 15 exact.
void Synthesizer::AddSquare(int v, int32_t f, int32_t a) {
    const uint64_t step = PhaseStep(f, rate_);
    uint64_t phase = phase_[v];
    int32_t* acc = accumulator_.get();
    for (int32_t i = 0; i < samplesPerBuffer_; ++i) {
        uint64_t next = phase + step;
        uint64_t before = phase & 0x8000, after = next & 0x8000;
        if (before == after) acc[i] += before ? a : -a;
        phase = next;
    }
    phase_[v] = phase;
}

// The shift register moves once for each completed period (at most once per
// output sample) and its bit 0 chooses between +a/2 and -a/2.
void Synthesizer::AddNoise(int v, int32_t f, int32_t a) {
    const uint64_t step = PhaseStep(f, rate_);
    const int32_t high = a >> 1, low = (-a) >> 1;
    uint64_t phase = phase_[v];
    uint32_t shift = noiseRegister_;
    int32_t* acc = accumulator_.get();
    for (int32_t i = 0; i < samplesPerBuffer_; ++i) {
        phase += step;
        if (phase >= 0x10000) {
            phase &= 0xFFFF;
            shift <<= 1;
            if (shift & 0x80000000u) shift ^= 0x08000001u;
        }
        acc[i] += shift & 1 ? high : low;
    }
    phase_[v] = phase;
    noiseRegister_ = shift;
}

// Plays a loop of L signed samples L * f times per second. span is the number
// of output samples per input sample and the phase the output samples already
// spent on the current input sample, both with 15 fractional bits; between
// input samples the output interpolates linearly with k of m steps.
void Synthesizer::AddSampleLoop(int v, int32_t f, int32_t a) {
    const int8_t* samples = samples_[v];
    const int64_t count = sampleCount_[v];
    // A loop faster than 32768 input samples per output sample gets the
    // smallest span rather than a division by zero.
    const int64_t span = std::max<int64_t>((int64_t{rate_} << 15) / (count * f), 1);
    const uint64_t uspan = static_cast<uint64_t>(span);
    int64_t p = position_[v] % count;
    int64_t x0 = int64_t{a} * samples[p];
    int64_t x1 = int64_t{a} * samples[(p + 1) % count];
    uint64_t phase = phase_[v];
    // k and m matter only while phase < span; otherwise the first sample
    // moves to the next input sample and sets them afresh.
    int64_t k = 1, m = 1;
    if (phase < uspan) {
        k = static_cast<int64_t>(phase >> 15) + 1;
        m = ((span - static_cast<int64_t>(phase & 0x7FFF)) >> 15) + 1;
    }
    int32_t* acc = accumulator_.get();
    for (int32_t i = 0; i < samplesPerBuffer_; ++i) {
        if (phase < uspan) {
            acc[i] += static_cast<int32_t>((x0 + (x1 - x0) * k / m) >> 7);
            phase += 0x8000;
            ++k;
            continue;
        }
        p = static_cast<int64_t>((static_cast<uint64_t>(p) + phase / uspan) % count);
        phase %= uspan;
        x0 = int64_t{a} * samples[p];
        acc[i] += static_cast<int32_t>(x0 >> 7);
        phase += 0x8000;
        if (phase < uspan) {
            k = 1;
            m = ((span - static_cast<int64_t>(phase)) >> 15) + 1;
            x1 = int64_t{a} * samples[(p + 1) % count];
        }
    }
    position_[v] = static_cast<int32_t>(p);
    phase_[v] = phase;
}

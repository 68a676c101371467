// synthesizer.h - the six-voice software synthesizer behind the sound output.
//
// The tone-chip model and the direct-sound feed reduce the console's sound to
// six voices (0, 1 square; 2 wave loop; 3 noise; 4, 5 direct sound A and B)
// and set them through the voice dispatch (voices.h). The synthesizer keeps
// those voices and renders them into blocks of 8-bit unsigned mono samples
// (128 = silence) at the output rate, with integer arithmetic only.
//
// It has no window-system or audio-device dependency: the plug-in's sound
// output wraps it and forwards each wave-out buffer to FillBuffer, the
// headless host calls FillBuffer directly. There is one synthesizer per
// process; constructing it registers its handlers with the voice dispatch.
//
// Life cycle: closed (rate 0) --Open--> open --Close--> closed. Voice
// frequency, volume, phase and instrument exist only while open; sample blocks
// registered through the dispatch persist across Open and Close.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

// Bytes per wave-out buffer at `rate`: 512 / (44100 / rate), at least 128.
// Rates above 44100 Hz, where 44100 / rate is 0, get 512 bytes.
constexpr int32_t WaveBlockSize(int32_t rate) {
    if (rate <= 0) return 0;
    int32_t divisor = 44100 / rate;
    int32_t size = divisor > 0 ? 512 / divisor : 512;
    return size < 128 ? 128 : size;
}

class Synthesizer {
public:
    static constexpr int VoiceCount = 6;
    static constexpr int32_t DefaultMasterVolume = 70;

    // Registers this object's handlers with the voice dispatch.
    Synthesizer();
    // Unregisters the handlers if they are still this object's.
    ~Synthesizer();
    Synthesizer(const Synthesizer&) = delete;
    Synthesizer& operator=(const Synthesizer&) = delete;

    // Opens at `rate` Hz with the wave-out block size for that rate, or with
    // `samplesPerBuffer` samples per FillBuffer. Does nothing when already
    // open; stays closed for a rate or block size not above 0. Sets SoundMode
    // to 2 when it opens. Returns whether the synthesizer is open.
    bool Open(int32_t rate) { return Open(rate, WaveBlockSize(rate)); }
    bool Open(int32_t rate, int32_t samplesPerBuffer);
    // Frees the per-voice state and sets SoundMode to 3.
    void Close();
    bool IsOpen() const { return rate_ != 0; }
    int32_t Rate() const { return rate_; }
    int32_t SamplesPerBuffer() const { return samplesPerBuffer_; }

    // Settings the sound output passes on: the per-voice switches, the noise
    // switch and the master volume (0..100; 10 gives unity gain).
    void SetVoiceEnabled(int voice, bool enabled);
    void SetNoise(bool on) { noise_ = on; }
    void SetMasterVolume(int32_t volume) { masterVolume_ = volume; }

    // The dispatch handlers (see voices.h for the callers' clamping).
    // Ignored for an out-of-range or disabled voice and while closed; a
    // frequency or volume of 0 silences the voice.
    void SetTone(int voice, int32_t frequency, int32_t volume);
    // Ignored for an out-of-range voice and while closed.
    void SetInstrument(int voice, int32_t instrument);
    // Registers `count` samples (owned by the caller) as the voice's loop and
    // restarts it; while open the voice also becomes a sample loop.
    void SetWave(int voice, const int8_t* samples, int32_t count);

    // Renders SamplesPerBuffer() samples into `block`. Does nothing while closed.
    void FillBuffer(uint8_t* block);

    // Loop playback state of a voice: the input sample being played and the
    // output samples already spent on it, with 15 fractional bits.
    int32_t LoopPosition(int voice) const { return InRange(voice) ? position_[voice] : 0; }
    uint64_t Phase(int voice) const { return phase_ && InRange(voice) ? phase_[voice] : 0; }

private:
    static bool InRange(int voice) { return voice >= 0 && voice < VoiceCount; }
    void AddSquare(int voice, int32_t frequency, int32_t volume);
    void AddNoise(int voice, int32_t frequency, int32_t volume);
    void AddSampleLoop(int voice, int32_t frequency, int32_t volume);

    int32_t samplesPerBuffer_ = 0;
    int32_t rate_ = 0;
    std::array<bool, VoiceCount> enabled_;
    bool noise_ = false;
    int32_t masterVolume_ = DefaultMasterVolume;
    uint32_t noiseRegister_ = 1;

    std::array<const int8_t*, VoiceCount> samples_{};
    std::array<int32_t, VoiceCount> sampleCount_{};
    std::array<int32_t, VoiceCount> position_{};

    // Allocated by Open, freed by Close. Phases are 64-bit so that no rate
    // can overflow a sample loop's phase; square and noise only look at
    // its low 16 bits.
    std::unique_ptr<int32_t[]> volume_;
    std::unique_ptr<int32_t[]> frequency_;
    std::unique_ptr<uint64_t[]> phase_;
    std::unique_ptr<int32_t[]> type_;
    std::unique_ptr<int32_t[]> accumulator_;
};

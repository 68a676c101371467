// synth_speed.cpp - how fast the synthesizer renders all six voices at 44100 Hz.
//
// The target is at most 1% of real time: the "realtime" counter (seconds of
// sound rendered per second of host time) must reach 100.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "sound/synthesizer.h"

namespace {

constexpr int32_t Rate = 44100;

// Every voice busy: two squares, the 32-sample wave loop, noise and two
// 1024-sample direct-sound rings played at 16384 samples a second, which
// interpolate (one division each) on most output samples.
void SetUpAllVoices(Synthesizer& synth, std::vector<int8_t>& wave, std::vector<int8_t>& ringA,
                    std::vector<int8_t>& ringB) {
    for (size_t i = 0; i < wave.size(); ++i) wave[i] = static_cast<int8_t>(i * 8 - 128);
    for (size_t i = 0; i < ringA.size(); ++i) ringA[i] = static_cast<int8_t>((i * 37) & 0xFF);
    for (size_t i = 0; i < ringB.size(); ++i) ringB[i] = static_cast<int8_t>((i * 91) & 0xFF);
    synth.SetNoise(true);
    synth.SetMasterVolume(Synthesizer::DefaultMasterVolume);
    synth.Open(Rate);
    synth.SetWave(2, wave.data(), static_cast<int32_t>(wave.size()));
    synth.SetWave(4, ringA.data(), static_cast<int32_t>(ringA.size()));
    synth.SetWave(5, ringB.data(), static_cast<int32_t>(ringB.size()));
    synth.SetTone(0, 440, 255);
    synth.SetTone(1, 131072 / (2048 - 1750), 200);
    synth.SetTone(2, 131072 / (2048 - 1900), 255);
    synth.SetTone(3, 8192, 218);
    synth.SetTone(4, 16, 255);
    synth.SetTone(5, 16, 128);
}

void BM_SynthesizeSixVoices(benchmark::State& state) {
    Synthesizer synth;
    std::vector<int8_t> wave(32), ringA(1024), ringB(1024);
    SetUpAllVoices(synth, wave, ringA, ringB);
    std::vector<uint8_t> block(synth.SamplesPerBuffer());
    int64_t samples = 0;
    for (auto _ : state) {
        synth.FillBuffer(block.data());
        benchmark::DoNotOptimize(block.data());
        samples += synth.SamplesPerBuffer();
    }
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(samples) / Rate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SynthesizeSixVoices);

}  // namespace

BENCHMARK_MAIN();

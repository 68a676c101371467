// audio.cpp - renders the synthesizer once per frame and writes the result as a WAV file.
#include "audio.h"

#include <memory>

#include "platform/file_replace.h"
#include "sound/synthesizer.h"

namespace Headless {
namespace {

constexpr int64_t CpuClock = 16777216;      // cycles per second
constexpr int64_t CyclesPerFrame = 280896;  // 228 lines of 1232 cycles
constexpr int32_t UnityGain = 10;           // master volume that neither amplifies nor clips one voice

std::unique_ptr<Synthesizer> Synth;
std::vector<uint8_t> Samples;
int64_t Carry = 0;  // samples owed, in units of 1 / CpuClock sample

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool OpenAudio(int32_t rate) {
    CloseAudio();
    Synth = std::make_unique<Synthesizer>();
    Synth->SetMasterVolume(UnityGain);
    if (!Synth->Open(rate)) {
        Synth.reset();
        return false;
    }
    return true;
}

void CloseAudio() {
    if (Synth) Synth->Close();
    Synth.reset();
    Samples.clear();
    Carry = 0;
}

bool AudioIsOpen() { return Synth && Synth->IsOpen(); }

void RenderAudioFrame() {
    if (!AudioIsOpen()) return;
    const int32_t block = Synth->SamplesPerBuffer();
    const int64_t blockUnits = int64_t{block} * CpuClock;
    Carry += int64_t{Synth->Rate()} * CyclesPerFrame;
    for (; Carry >= blockUnits; Carry -= blockUnits) {
        size_t at = Samples.size();
        Samples.resize(at + block);
        Synth->FillBuffer(Samples.data() + at);
    }
}

const std::vector<uint8_t>& AudioSamples() { return Samples; }

bool WriteWav(const std::string& path, const std::vector<uint8_t>& samples, int32_t rate) {
    const uint32_t dataSize = static_cast<uint32_t>(samples.size());
    std::vector<uint8_t> header;
    PutTag(header, "RIFF");
    PutLe(header, 36 + dataSize, 4);
    PutTag(header, "WAVE");
    PutTag(header, "fmt ");
    PutLe(header, 16, 4);    // format chunk size
    PutLe(header, 1, 2);     // PCM
    PutLe(header, 1, 2);     // mono
    PutLe(header, rate, 4);  // samples per second
    PutLe(header, rate, 4);  // bytes per second
    PutLe(header, 1, 2);     // bytes per frame
    PutLe(header, 8, 2);     // bits per sample
    PutTag(header, "data");
    PutLe(header, dataSize, 4);
    // Written beside its final name and renamed into place, so a failed write
    // keeps the previous file; a run without samples writes an empty WAV.
    ReplacementFile file(path);
    return file.Write(header.data(), header.size()) && file.Write(samples.data(), samples.size()) && file.Commit(false);
}

}  // namespace Headless

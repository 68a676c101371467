// gba_sound.cpp - the sound output: wave-out ring and synthesizer opened,
// closed and filled together.
#include "gba_sound.h"

namespace {
GbaSound* TheSound = nullptr;
}

GbaSound::GbaSound(Emu::Emulator* emulator) : BaseSound(emulator) {
    channelCount_ = Synthesizer::VoiceCount;
    TheSound = this;
}

GbaSound::~GbaSound() {
    Close();
    if (TheSound == this) TheSound = nullptr;
}

GbaSound* GbaSound::Current() { return TheSound; }

void GbaSound::Open(int rate) {
    if (IsOpen()) return;
    BaseSound::Open(rate);
    if (!IsOpen()) return;
    PassSettings();
    synthesizer_.Open(GetRate(), GetBlockSize());
}

void GbaSound::Close() {
    BaseSound::Close();
    synthesizer_.Close();
}

// The base re-reads the settings when they change; they reach the
// synthesizer before the next block is rendered.
void GbaSound::PassSettings() {
    for (int voice = 0; voice < Synthesizer::VoiceCount; ++voice)
        synthesizer_.SetVoiceEnabled(voice, channelEnabled_ && channelEnabled_[voice]);
    synthesizer_.SetNoise(noise_);
    synthesizer_.SetMasterVolume(volume_);
}

void GbaSound::FillBuffer(unsigned char* block) {
    PassSettings();
    synthesizer_.FillBuffer(block);
}

// gba_sound.h - GbaSound, the plug-in's sound output: the engine's wave-out
// ring fed by the machine's six-voice synthesizer. The voice dispatch reaches
// the synthesizer directly; each buffer the device has played is refilled by
// FillBuffer with the voices rendered at the open rate.
#pragma once

#include "engine/base_sound.h"
#include "sound/synthesizer.h"

class GbaSound : public Emu::BaseSound {
public:
    // Six channels, one per voice; becomes the process-wide sound object the
    // keypad read triggers, and the synthesizer takes the voice dispatch.
    explicit GbaSound(Emu::Emulator* emulator);
    ~GbaSound() override;
    // Opens the wave-out ring at `rate`, then the synthesizer with the ring's
    // block size (512 bytes above 44100 Hz), so every buffer is filled whole.
    void Open(int rate) override;
    void Close() override;
    // Renders one block with the current channel switches, Noise and Volume.
    void FillBuffer(unsigned char* block) override;

    const Synthesizer& GetSynthesizer() const { return synthesizer_; }
    // The sound object of the machine, or null.
    static GbaSound* Current();

private:
    void PassSettings();

    Synthesizer synthesizer_;
};

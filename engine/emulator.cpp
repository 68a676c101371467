// emulator.cpp - what every plug-in's machine object inherits: pausing its
// outputs, passing on new settings and choosing its pad skin.
#include "engine/emulator.h"

#include "engine/base_input.h"
#include "engine/base_sound.h"
#include "engine/base_video.h"
#include "engine/engine.h"
#include "engine/pad_skin.h"

namespace Emu {

Emulator::Emulator() = default;
Emulator::~Emulator() = default;

void Emulator::Pause() {
    if (!ourEngine) return;
    paused_ = true;
    if (video_) video_->Pause();
    if (input_) input_->Pause();
    if (sound_) sound_->Pause();
}

void Emulator::Resume() {
    if (!ourEngine) return;
    if (video_) video_->Resume();
    if (input_) input_->Resume();
    if (sound_) sound_->Resume();
    paused_ = false;
}

void Emulator::UpdateSettings() {
    if (video_) video_->UpdateSettings();
    if (input_) input_->UpdateSettings();
    if (sound_) sound_->UpdateSettings();
}

void Emulator::LoadPad() { PadSkin::SetActiveSkin(PadSkin::GetSkin(settings_.getString(L"PadSkin"))); }

}  // namespace Emu

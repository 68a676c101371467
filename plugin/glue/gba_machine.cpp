// gba_machine.cpp - the machine object: start, frames, stop and states.
#include "gba_machine.h"

#include <QWidget>
#include <cstdio>

#include "cpu/cpu.h"
#include "engine/engine.h"
#include "engine/error_text.h"
#include "engine/setting_ranges.h"
#include "gba_input.h"
#include "gba_sound.h"
#include "gba_video.h"
#include "machine/cartridge.h"
#include "machine/console.h"
#include "machine/save_state.h"
#include "machine/scanline.h"
#include "platform/structured_exception.h"
#include "settings_dialog.h"
#include "sound/voices.h"
#include "video/renderer.h"

namespace {

// The keypad read is the frame boundary Execute ends at.
uint32_t ReadKeypadThenStop() {
    uint32_t pressed = GbaInput::ReadKeypad();
    StopRequest = true;
    return pressed;
}

}  // namespace

GbaMachine::GbaMachine()
    : ownSound_(std::make_unique<GbaSound>(this)),
      ownVideo_(std::make_unique<GbaVideo>(this)),
      ownInput_(std::make_unique<GbaInput>(this)) {
    sound_ = ownSound_.get();
    video_ = ownVideo_.get();
    input_ = ownInput_.get();
    StopRequest = true;  // no machine yet
}

GbaMachine::~GbaMachine() {
    Stop();
    ownSound_.reset();
    ownVideo_.reset();
    ownInput_.reset();
    sound_ = nullptr;
    video_ = nullptr;
    input_ = nullptr;
}

void GbaMachine::Stop() {
    if (!StopRequest) ShutdownMachine();
    StopRequest = true;
    paused_ = false;
    hasState_ = false;
    image_.clear();
    ownSound_->Close();
    ownInput_->Close();
    ownVideo_->Close();
}

void GbaMachine::Reset() { ResetMachine(); }

bool GbaMachine::RunFile(CString path) {
    CString lower = path;
    if (lower.MakeLower().Find(L".gba") < 0) return false;
    // The whole path, in UTF-8 whatever the locale: the machine opens the
    // image and names its battery and state files from it. The engine passes
    // its file name.
    image_ = path.ToUtf8();
    CheckState();
    Emu::ourEngine->ResetConsole();
    TakeFrameSkip();
    StopRequest = false;
    SetPresentHook(GbaVideo::Present);
    SetKeypadHook(ReadKeypadThenStop);
    ownVideo_->Open();
    if (!FrameSurface) return false;  // the video output refused its surface and stopped
    ownInput_->Open();
    if (Emu::ourEngine->GetSettings().getBoolean(L"Sound") && settings_.getBoolean(L"Sound"))
        ownSound_->Open(settings_.getInt(L"SoundRate"));
    else
        SoundMode = 3;
    if (!LoadCartridge(image_.c_str())) {
        Emu::ourEngine->Message(L"Loading failed!");
        RaiseException(EmuErrorLoadFailed);
    }
    return true;
}

bool GbaMachine::Execute() {
    if (StopRequest || !FrameSurface) return false;
    ResumeAfterStop();
    int result = RunCpu(Cpu);
    StopRequest = false;  // the frame boundary's request, not a stop
    return result != 0;
}

std::string GbaMachine::StateFileName() const {
    return image_.empty() ? std::string() : ReplaceExtension(image_, ".STA");
}

bool GbaMachine::SaveState() {
    const std::string path = StateFileName();
    if (path.empty()) return false;
    Emu::ourEngine->Pause();
    bool saved = SaveMachineState(path.c_str());
    Emu::ourEngine->Resume();
    if (saved) {
        hasState_ = true;
    } else {
        // The writer replaces the file only once the new state is whole, so
        // an earlier state file is still there to load.
        ConsolePrintf("Saving the state to %s...FAILED\n", path.c_str());
        CheckState();
    }
    return saved;
}

bool GbaMachine::HasState() { return hasState_; }

bool GbaMachine::LoadState() { return !StatePath.empty() && LoadMachineState(StatePath.c_str()); }

bool GbaMachine::CheckState() {
    const std::string path = StateFileName();
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    hasState_ = file != nullptr;
    if (file) std::fclose(file);
    return hasState_;
}

void GbaMachine::TakeFrameSkip() { FrameSkip = Emu::kFrameSkipRange.Clamp(settings_.getInt(L"FrameSkip")); }

void GbaMachine::ShowSettings() {
    QWidget* mainWindow = Emu::ourEngine->GetNativeWindow();
    GbaSettingsDialog dialog(this, mainWindow ? mainWindow->window() : nullptr);
    dialog.DoModal();
}

CString GbaMachine::GetName() { return L"GameBoy Advance"; }
CString GbaMachine::GetFileFilter() { return L"GameBoy Advance ROM (*.gba)|*.gba|"; }
CString GbaMachine::GetID() { return L"GameBoyAdvance"; }

// fake_emulator.cpp - a plug-in for the program's tests: an emulator that
// counts the calls the program makes in its own settings, so a test reads them
// through Emu::Emulator::GetSettings without knowing this class. Built several
// times with another FAKE_NAME and FAKE_EXTENSION.
//
// Counters: "RunFileCalls", "ExecuteCalls", "ResetCalls", "StopCalls",
// "SaveStateCalls", "LoadStateCalls", "CheckStateCalls", "ShowSettingsCalls".
// Switches the test sets: "HasState", "SaveStateResult", "LoadStateResult",
// "ThrowInExecute". Saving the settings stores "StopCalls" in the
// registry, where a test reads it after the engine is gone. RunFile accepts names containing FAKE_EXTENSION; a name
// that also contains "broken" fails as a damaged image does: the message
// "Loading failed!", then the engine's load error.
#include <stdexcept>

#include "engine/base_input.h"
#include "engine/base_sound.h"
#include "engine/base_video.h"
#include "engine/emulator.h"
#include "engine/engine.h"
#include "engine/error_text.h"
#include "platform/structured_exception.h"

namespace {

class FakeVideo : public Emu::BaseVideo {
public:
    using BaseVideo::BaseVideo;
    void Close() override {}
    void Redraw() override {}
    void SetColour(int, int, int, int) override {}
    bool SyncFrame() override { return true; }
};

class FakeSound : public Emu::BaseSound {
public:
    using BaseSound::BaseSound;
    void FillBuffer(unsigned char*) override {}
};

class FakeEmulator : public Emu::Emulator {
public:
    FakeEmulator() : video(this), sound(this), input(this) {
        video_ = &video;
        sound_ = &sound;
        input_ = &input;
    }
    void Stop() override { Count(L"StopCalls"); }
    void Reset() override { Count(L"ResetCalls"); }
    bool RunFile(CString path) override {
        Count(L"RunFileCalls");
        if (path.Find(CString(FAKE_EXTENSION)) < 0) return false;
        if (path.Find(CString(L"broken")) >= 0) {
            Emu::ourEngine->Message(L"Loading failed!");
            RaiseException(EmuErrorLoadFailed);
        }
        return true;
    }
    bool Execute() override {
        Count(L"ExecuteCalls");
        if (settings_.getBoolean(L"ThrowInExecute")) throw std::runtime_error("fake emulator failed");
        return true;
    }
    bool SaveState() override {
        Count(L"SaveStateCalls");
        return settings_.getBoolean(L"SaveStateResult");
    }
    bool HasState() override { return settings_.getBoolean(L"HasState"); }
    bool LoadState() override {
        Count(L"LoadStateCalls");
        return settings_.getBoolean(L"LoadStateResult");
    }
    bool CheckState() override {
        Count(L"CheckStateCalls");
        return HasState();
    }
    void ShowSettings() override { Count(L"ShowSettingsCalls"); }
    void LoadSettings(CRegistry&) override {}
    // Keeps the stop count where a test finds it after the engine is gone.
    void SaveSettings(CRegistry& registry) override { registry.WriteInt(L"StopCalls", settings_.getInt(L"StopCalls")); }
    void ResetSettings() override {}
    CString GetName() override { return FAKE_NAME; }
    CString GetFileFilter() override {
        return CString(FAKE_NAME) + L" (*" + FAKE_EXTENSION + L")|*" + FAKE_EXTENSION + L"|";
    }
    CString GetID() override { return CString(L"Fake") + FAKE_EXTENSION; }

private:
    void Count(const wchar_t* name) { settings_.set(name, settings_.getInt(name) + 1); }

    FakeVideo video;
    FakeSound sound;
    Emu::BaseInput input;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) Emu::Emulator* NewEmulator() { return new FakeEmulator; }

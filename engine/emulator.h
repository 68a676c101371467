// emulator.h - Emu::Emulator, the machine object of a plug-in: the engine
// creates it through the plug-in's "NewEmulator", offers it files, drives it
// with Execute and keeps its settings. A plug-in derives from it and fills the
// pure operations; it creates its video, sound and input objects and stores
// them in the fields below.
#pragma once

#include "engine/marrowby_api.h"
#include "engine/property_map.h"
#include "engine/registry.h"
#include "lumaret/types.h"
#include "platform/cstring.h"
#include "platform/module.h"

namespace Emu {

class BaseVideo;
class BaseSound;
class BaseInput;

class MARROWBY_API Emulator {
public:
    Emulator();
    // Virtual operations in the order of the plug-in contract.
    virtual ~Emulator();
    virtual void Stop() = 0;
    virtual void Reset() = 0;
    virtual bool RunFile(CString path) = 0;
    virtual bool Execute() = 0;
    // Without an engine both do nothing. Pause sets the paused flag, then
    // pauses video, input and sound; Resume resumes them, then clears it.
    virtual void Pause();
    virtual void Resume();
    virtual bool SaveState() = 0;
    virtual bool HasState() = 0;
    virtual bool LoadState() = 0;
    virtual bool CheckState() = 0;
    virtual void ShowSettings() = 0;
    // Video, input and sound UpdateSettings, in that order.
    virtual void UpdateSettings();
    virtual void LoadSettings(CRegistry& registry) = 0;
    virtual void SaveSettings(CRegistry& registry) = 0;
    virtual void ResetSettings() = 0;
    virtual CString GetName() = 0;
    virtual CString GetFileFilter() = 0;
    virtual CString GetID() = 0;

    bool IsPaused() const { return paused_; }
    PropertyMap& GetSettings() { return settings_; }
    const Lumaret::KeyList& GetKeyList() const { return keyList_; }
    void SetKeyList(const Lumaret::KeyList& keys) { keyList_ = keys; }
    void SetInstance(Platform::ModuleHandle instance) { instance_ = instance; }
    Platform::ModuleHandle GetInstance() const { return instance_; }
    BaseVideo* GetVideo() const { return video_; }
    BaseInput* GetInput() const { return input_; }
    BaseSound* GetSound() const { return sound_; }

    // Makes the skin named by the "PadSkin" setting active (the built-in one
    // when no loaded skin has that identifier).
    void LoadPad();

protected:
    bool paused_ = false;
    PropertyMap settings_;
    Lumaret::KeyList keyList_{};
    Platform::ModuleHandle instance_ = nullptr;
    // Owned by the subclass.
    BaseVideo* video_ = nullptr;
    BaseInput* input_ = nullptr;
    BaseSound* sound_ = nullptr;
};

}  // namespace Emu

// What a plug-in library exports (C linkage), looked up by name.
extern "C" {
using NewEmulatorFunction = Emu::Emulator* (*)();
using RegisterResourcesFunction = void (*)();
}

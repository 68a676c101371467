// machine_settings.cpp - the machine's settings: defaults, and the values kept
// in the registry key Software\Tamboril\GameBoyAdvance.
//
// Kept: ScreenScale (DWORD), FrameSync, Sound, Noise (booleans),
// SoundChannel0-3 (integers, though their defaults are booleans), SoundRate
// (DWORD), PadSkin (string) and the ten key bindings vkStart ... vkRight
// (DWORDs holding virtual-key codes). FrameSkip, FrameSpeed and the other
// channel switches are not kept. A value read back is kept within the range
// the settings pages allow, so a hand-edited store cannot stall or break a run.
#include "engine/engine.h"
#include "engine/setting_ranges.h"
#include "gba_machine.h"
#include "lumaret/input.h"

namespace {

constexpr int KeptChannels = 4;
constexpr int Channels = 16;
constexpr int DefaultOnChannels = 6;

// The key bindings in the order they are kept, with their key-list entries.
struct KeySetting {
    const wchar_t* name;
    int entry;
};
constexpr KeySetting KeySettings[] = {
    {L"vkStart", 4}, {L"vkA", 5},  {L"vkB", 6},    {L"vkC", 7},    {L"vkD", 8},
    {L"vkE", 9},     {L"vkUp", 0}, {L"vkDown", 1}, {L"vkLeft", 2}, {L"vkRight", 3},
};

CString ChannelName(int channel) {
    CString name;
    name.Format(L"SoundChannel%d", channel);
    return name;
}

int ReadInRange(CRegistry& registry, const CString& name, int current, Emu::SettingRange range) {
    return range.Clamp(static_cast<int>(registry.ReadDword(name, static_cast<DWORD>(current))));
}

}  // namespace

void GbaMachine::ResetSettings() {
    settings_.set(L"ScreenScale", 0);
    settings_.set(L"FrameSync", true);
    // Every frame: a desktop shows all sixty a second.
    settings_.set(L"FrameSkip", 1);
    settings_.set(L"FrameSpeed", 0);
    settings_.set(L"Sound", true);
    settings_.set(L"Noise", false);
    for (int channel = 0; channel < Channels; ++channel)
        settings_.set(ChannelName(channel), channel < DefaultOnChannels);
    settings_.set(L"SoundRate", 22050);
    settings_.set(L"PadSkin", L"GB|Tamboril Default");
    LoadPad();
    keyList_ = *Emu::ourEngine->GetInput()->GetDefaultKeys();
}

void GbaMachine::LoadSettings(CRegistry& registry) {
    settings_.set(L"ScreenScale",
                  ReadInRange(registry, L"ScreenScale", settings_.getInt(L"ScreenScale"), Emu::kScreenScaleRange));
    for (const wchar_t* name : {L"FrameSync", L"Sound", L"Noise"})
        settings_.set(name, registry.ReadBool(name, settings_.getBoolean(name)));
    for (int channel = 0; channel < KeptChannels; ++channel) {
        CString name = ChannelName(channel);
        settings_.set(name, registry.ReadInt(name, settings_.getInt(name)));
    }
    settings_.set(L"SoundRate",
                  ReadInRange(registry, L"SoundRate", settings_.getInt(L"SoundRate"), Emu::kSoundRateRange));
    settings_.set(L"PadSkin", registry.ReadString(L"PadSkin", settings_.getString(L"PadSkin")));
    for (const KeySetting& key : KeySettings) {
        uint16_t& code = keyList_.keys[key.entry];
        code = static_cast<uint16_t>(Emu::KeepKeyCode(static_cast<int>(registry.ReadDword(key.name, code))));
    }
    LoadPad();
}

void GbaMachine::SaveSettings(CRegistry& registry) {
    registry.WriteDword(L"ScreenScale", static_cast<DWORD>(settings_.getInt(L"ScreenScale")));
    for (const wchar_t* name : {L"FrameSync", L"Sound", L"Noise"}) registry.WriteBool(name, settings_.getBoolean(name));
    for (int channel = 0; channel < KeptChannels; ++channel) {
        CString name = ChannelName(channel);
        registry.WriteInt(name, settings_.getInt(name));
    }
    registry.WriteDword(L"SoundRate", static_cast<DWORD>(settings_.getInt(L"SoundRate")));
    registry.WriteString(L"PadSkin", settings_.getString(L"PadSkin"));
    for (const KeySetting& key : KeySettings) registry.WriteDword(key.name, keyList_.keys[key.entry]);
}

// engine_settings.cpp - the engine's global settings: defaults, and loading
// and saving them with each emulator's in the registry below
// "Software\Tamboril".
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "engine/emulator.h"
#include "engine/engine.h"
#include "engine/registry.h"
#include "engine/setting_ranges.h"

namespace Emu {

namespace {

// The screen the main window is on, else the primary one; null without screens.
QScreen* MainScreen(QWidget* window) {
    QScreen* screen = window ? window->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

CString EmulatorKey(const CString& root, Emulator& emulator) { return root + L"\\" + emulator.GetID(); }

}  // namespace

void Engine::ResetSettings() {
    for (auto& emulator : emulators_) emulator->ResetSettings();
    const QScreen* screen = MainScreen(nativeWindow_);
    const QRect desktop = screen ? screen->availableGeometry() : QRect();
    settings_.set(L"SoundBuffers", 16);
    settings_.set(L"DoubleWidth", false);
    settings_.set(L"DefaultExt", 1);
    settings_.set(L"ROMPath", CString(QDir::homePath().toStdWString()));
    settings_.set(L"FitToWindow", false);
    settings_.set(L"SharpScale", true);
    settings_.set(L"NoFullScreen", false);
    settings_.set(L"AutoPause", false);
    settings_.set(L"Debug", false);
    settings_.set(L"VirtualPad", true);
    settings_.set(L"DoubleInputCapture", true);
    settings_.set(L"Sound", false);
    // Unity gain of the synthesizer: louder settings make loud games clip.
    settings_.set(L"Volume", 10);
    settings_.set(L"BGColor", 0);
    settings_.set(L"BGFileName", GetPath() + L"/TamborilLogo.bmp");
    settings_.set(L"FullScreen", false);
    settings_.set(L"DesktopWidth", desktop.width());
    settings_.set(L"DesktopHeight", desktop.height());
    settings_.set(L"ToolBarSize", 24);
    // The desktop has no handheld task bar.
    settings_.set(L"TaskBarSize", 0);
}

void Engine::LoadSettings() {
    CRegistry registry;
    for (auto& emulator : emulators_) {
        if (registry.SetKey(EmulatorKey(GetRegKeyRoot(), *emulator), true)) emulator->LoadSettings(registry);
    }
    if (registry.SetKey(GetRegKeyRoot(), true)) ReadGlobalSettings(registry);
}

void Engine::SaveSettings() {
    CRegistry registry;
    for (auto& emulator : emulators_) {
        if (registry.SetKey(EmulatorKey(GetRegKeyRoot(), *emulator), true)) emulator->SaveSettings(registry);
    }
    if (registry.SetKey(GetRegKeyRoot(), true)) WriteGlobalSettings(registry);
}

void Engine::ReadGlobalSettings(CRegistry& registry) {
    auto readInt = [&](const wchar_t* key) { settings_.set(key, registry.ReadInt(key, settings_.getInt(key))); };
    auto readBool = [&](const wchar_t* key) { settings_.set(key, registry.ReadBool(key, settings_.getBoolean(key))); };
    auto readString = [&](const wchar_t* key) {
        settings_.set(key, registry.ReadString(key, settings_.getString(key)));
    };
    readInt(L"SoundBuffers");
    readBool(L"DoubleWidth");
    readInt(L"DefaultExt");
    readString(L"ROMPath");
    readString(L"InstallDir");
    readBool(L"FitToWindow");
    readBool(L"SharpScale");
    readBool(L"NoFullScreen");
    readBool(L"AutoPause");
    readBool(L"Debug");
    readBool(L"VirtualPad");
    readBool(L"DoubleInputCapture");
    settings_.set(L"BGColor", static_cast<int>(
                                  registry.ReadColor(L"BGColor", static_cast<COLORREF>(settings_.getInt(L"BGColor")))));
    readString(L"BGFileName");
    readBool(L"Sound");
    readInt(L"Volume");
    settings_.set(L"SoundBuffers", kSoundBuffersRange.Clamp(settings_.getInt(L"SoundBuffers")));
    settings_.set(L"Volume", kVolumeRange.Clamp(settings_.getInt(L"Volume")));
}

void Engine::WriteGlobalSettings(CRegistry& registry) {
    auto writeInt = [&](const wchar_t* key) { registry.WriteInt(key, settings_.getInt(key)); };
    auto writeBool = [&](const wchar_t* key) { registry.WriteBool(key, settings_.getBoolean(key)); };
    auto writeString = [&](const wchar_t* key) { registry.WriteString(key, settings_.getString(key)); };
    writeInt(L"SoundBuffers");
    writeBool(L"DoubleWidth");
    writeInt(L"DefaultExt");
    writeString(L"ROMPath");
    writeString(L"InstallDir");
    writeBool(L"FitToWindow");
    writeBool(L"SharpScale");
    writeBool(L"NoFullScreen");
    writeBool(L"AutoPause");
    writeBool(L"Debug");
    writeBool(L"VirtualPad");
    writeBool(L"DoubleInputCapture");
    registry.WriteColor(L"BGColor", static_cast<COLORREF>(settings_.getInt(L"BGColor")));
    writeString(L"BGFileName");
    writeBool(L"Sound");
    writeInt(L"Volume");
}

}  // namespace Emu

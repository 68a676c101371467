// engine.h - Emu::Engine, the one object that ties the program to the emulator
// plug-ins: it owns the display library's window, display and input objects,
// the global settings, the console text and the plug-ins found in the "Emu"
// folder beside the program, offers files to them and counts pauses.
//
// Pausing (two independent mechanisms; the active emulator runs only while
// both are clear):
//   1. The pause count: Pause increments it and pauses the emulator on 0 -> 1
//      (unless user-paused); Resume decrements it (never below 0) and resumes
//      the emulator on 1 -> 0 (unless user-paused).
//   2. The user-paused flag: UserPause/UserResume set and clear it and pause or
//      resume the emulator while the count is 0.
// Both are cleared by Shutdown only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "engine/diagnostics.h"
#include "engine/marrowby_api.h"
#include "engine/property_map.h"
#include "platform/cstring.h"
#include "platform/handheld_types.h"
#include "platform/module.h"

class QWidget;
class CRegistry;

namespace Lumaret {
class Window;
class Display;
class Input;
}  // namespace Lumaret

namespace Emu {

class Emulator;

class MARROWBY_API Engine {
public:
    // Creates the display library's objects on `mainWindow` (the view that
    // shows the emulated screen), sets and loads the settings, loads the skins
    // and the plug-ins, then sets and loads the settings once more so that the
    // plug-ins get their defaults and saved values. Sets ourEngine.
    explicit Engine(QWidget* mainWindow);
    // Saves the settings, deletes the emulators and frees their libraries,
    // releases the skins and the display library's objects, clears ourEngine.
    virtual ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    QWidget* GetNativeWindow() const;
    Lumaret::Window* GetWindow() const;
    Lumaret::Display* GetDisplay() const;
    Lumaret::Input* GetInput() const;

    // Stops the running file, strips one leading and one trailing quote, makes
    // a relative path absolute and offers the path to each emulator in list
    // order; the first that accepts it becomes active. False when the path is
    // empty or no emulator accepts it.
    bool RunFile(CString path);
    void Shutdown();
    void Reset();
    void UpdateSettings();

    void Pause();
    void Resume();
    void UserPause();
    void UserResume();
    bool IsPaused() const;
    bool IsUserPaused() const;
    bool IsRunning() const;
    void SetRunning(bool running);

    // A message box with one OK button (through MessageHook()), then BringToFront.
    void Message(const CString& text);
    // Appends `text` to the console, each "\n" written as "\r\n".
    void PrintConsole(const CString& text);
    void ResetConsole();
    CString GetConsole() const;

    // Key messages (kKeyDownMessage, kKeyUpMessage, kHotKeyMessage of the
    // display library) go to the input object; others are ignored.
    void ProcessMessage(UINT message, UINT wParam, LONG lParam);
    void BringToFront();

    // The folder of the running program, without a trailing "/".
    CString GetPath() const;
    // "Software\Tamboril".
    CString GetRegKeyRoot() const;

    void ResetSettings();
    void LoadSettings();
    void SaveSettings();
    PropertyMap& GetSettings();

    int GetEmulatorCount() const;
    Emulator* GetEmulator(int index) const;
    Emulator* GetActiveEmulator() const;
    CString GetFileName() const;

    // The seam every message box of Message goes through; tests replace it.
    // The default shows a modal QMessageBox.
    using MessageFunction = std::function<void(const CString& text)>;
    static MessageFunction& MessageHook();

private:
    void LoadEmulators();
    // Offers one plug-in library: its emulator joins the list, or the library
    // is kept aside (no "NewEmulator") or freed (no emulator made).
    void AddEmulatorFrom(Platform::ModuleHandle module);
    void ReadGlobalSettings(CRegistry& registry);
    void WriteGlobalSettings(CRegistry& registry);

    QWidget* nativeWindow_;
    std::unique_ptr<Lumaret::Window> window_;
    std::unique_ptr<Lumaret::Display> display_;
    std::unique_ptr<Lumaret::Input> input_;
    bool userPaused_ = false;
    bool running_ = false;
    int pauseCount_ = 0;
    CString console_;
    PropertyMap settings_;
    std::vector<std::unique_ptr<Emulator>> emulators_;  // sorted by name
    // Libraries without "NewEmulator": kept loaded while the engine lives.
    std::vector<Platform::ModuleHandle> otherModules_;
    Emulator* active_ = nullptr;
    CString fileName_;
    DiagnosticSink previousSink_;
};

// The one engine, or null while none exists.
extern MARROWBY_API Engine* ourEngine;

}  // namespace Emu

namespace Emu {

// The console's printf: formats into a 1024-byte buffer (a longer message is
// cut) and appends the text to the engine's console when an engine exists.
// Returns 0. Exported under this name so that it never replaces the C
// library's printf for the process. Declared inside Emu (the symbol is still
// the plain C name) so that a file may also see the console core's own C++
// ConsolePrintf, which has the same parameters.
extern "C" MARROWBY_API int ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace Emu

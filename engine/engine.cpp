// engine.cpp - the engine's lifetime, the road of a file (RunFile, Shutdown,
// Reset), pause counting, messages, the console and key messages.
#include "engine/engine.h"

#include <QMessageBox>
#include <QWidget>
#include <filesystem>

#include "engine/emulator.h"
#include "engine/pad_skin.h"
#include "engine/program_folder.h"
#include "lumaret/keys.h"
#include "lumaret/wince.h"

namespace Emu {

Engine* ourEngine = nullptr;

Engine::Engine(QWidget* mainWindow) : nativeWindow_(mainWindow) {
    ourEngine = this;
    window_.reset(Lumaret::WinCE::CreateWindow(mainWindow));
    display_.reset(Lumaret::WinCE::CreateDisplay());
    input_.reset(Lumaret::WinCE::CreateInput());
    // The settings store reports damaged files; while an engine exists its
    // reports land on the console.
    previousSink_ =
        SetDiagnosticSink([this](const std::string& line) { PrintConsole(CString::FromUtf8(line) + L"\n"); });
    // Read with the map's value as default by LoadSettings, so it must exist first.
    settings_.set(L"InstallDir", CString());
    ResetSettings();
    LoadSettings();
    PadSkin::LoadSkins(mainWindow);
    LoadEmulators();
    ResetSettings();
    LoadSettings();
}

Engine::~Engine() {
    SaveSettings();
    for (auto& emulator : emulators_) {
        Platform::ModuleHandle module = emulator->GetInstance();
        emulator.reset();
        Platform::FreeModule(module);
    }
    emulators_.clear();
    for (Platform::ModuleHandle module : otherModules_) Platform::FreeModule(module);
    PadSkin::ReleaseSkins();
    input_.reset();
    display_.reset();
    window_.reset();
    SetDiagnosticSink(previousSink_);
    ourEngine = nullptr;
}

QWidget* Engine::GetNativeWindow() const { return nativeWindow_; }
Lumaret::Window* Engine::GetWindow() const { return window_.get(); }
Lumaret::Display* Engine::GetDisplay() const { return display_.get(); }
Lumaret::Input* Engine::GetInput() const { return input_.get(); }

bool Engine::RunFile(CString path) {
    Shutdown();
    if (path.IsEmpty()) return false;
    // Command-line arguments arrive quoted.
    if (path[0] == L'"') path = path.Mid(1);
    if (!path.IsEmpty() && path[path.GetLength() - 1] == L'"') path = path.Left(path.GetLength() - 1);
    if (path.IsEmpty()) return false;
    if (path[0] != L'/') {
        std::error_code error;
        const std::filesystem::path current = std::filesystem::current_path(error);
        if (!error) path = CString::FromUtf8(current.string()) + L"/" + path;
    }
    fileName_ = path;
    for (auto& emulator : emulators_) {
        // Active while it decides: a plug-in that fails after accepting raises
        // an exception, and the Shutdown that follows must stop it.
        active_ = emulator.get();
        if (emulator->RunFile(path)) {
            running_ = true;
            return true;
        }
        active_ = nullptr;
    }
    return false;
}

void Engine::Shutdown() {
    userPaused_ = false;
    pauseCount_ = 0;
    running_ = false;
    BringToFront();
    if (active_) {
        active_->Stop();
        active_ = nullptr;
    }
    fileName_.Empty();
    if (window_) window_->Refresh();
}

void Engine::Reset() {
    if (!active_) return;
    active_->Reset();
    UserResume();
}

void Engine::UpdateSettings() {
    if (active_) active_->UpdateSettings();
}

void Engine::Pause() {
    ++pauseCount_;
    if (active_ && !userPaused_ && pauseCount_ == 1) active_->Pause();
}

void Engine::Resume() {
    if (pauseCount_ == 0) return;
    if (--pauseCount_ == 0) BringToFront();
    if (active_ && !userPaused_ && pauseCount_ == 0) active_->Resume();
}

void Engine::UserPause() {
    if (userPaused_) return;
    userPaused_ = true;
    if (active_ && pauseCount_ == 0) active_->Pause();
}

void Engine::UserResume() {
    if (!userPaused_) return;
    BringToFront();
    userPaused_ = false;
    if (active_ && pauseCount_ == 0) active_->Resume();
}

bool Engine::IsPaused() const { return pauseCount_ != 0; }
bool Engine::IsUserPaused() const { return userPaused_; }
bool Engine::IsRunning() const { return running_; }
void Engine::SetRunning(bool running) { running_ = running; }

Engine::MessageFunction& Engine::MessageHook() {
    static MessageFunction hook = [](const CString& text) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tamboril"), QString::fromStdWString(text.Text()),
                        QMessageBox::Ok, ourEngine ? ourEngine->GetNativeWindow() : nullptr);
        box.exec();
    };
    return hook;
}

void Engine::Message(const CString& text) {
    if (MessageHook()) MessageHook()(text);
    BringToFront();
}

void Engine::PrintConsole(const CString& text) {
    CString lines = text;
    lines.Replace(L"\n", L"\r\n");
    console_ += lines;
}

void Engine::ResetConsole() { console_.Empty(); }
CString Engine::GetConsole() const { return console_; }

void Engine::ProcessMessage(UINT message, UINT wParam, LONG lParam) {
    if (!input_) return;
    switch (message) {
    case Lumaret::kKeyDownMessage: input_->SetKey(static_cast<int>(wParam), true); break;
    case Lumaret::kKeyUpMessage: input_->SetKey(static_cast<int>(wParam), false); break;
    case Lumaret::kHotKeyMessage:
        input_->OnHotKey(static_cast<int>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFF), message);
        break;
    default: break;
    }
}

void Engine::BringToFront() {
    if (window_) window_->BringToFront();
    // The handheld also hid its input-panel button here; the desktop has none.
    if (settings_.getBoolean(L"FullScreen")) Lumaret::WinCE::System::ShowTaskbar(false);
}

CString Engine::GetPath() const { return ProgramFolder(); }
CString Engine::GetRegKeyRoot() const { return L"Software\\Tamboril"; }
PropertyMap& Engine::GetSettings() { return settings_; }

int Engine::GetEmulatorCount() const { return static_cast<int>(emulators_.size()); }

Emulator* Engine::GetEmulator(int index) const {
    if (index < 0 || index >= GetEmulatorCount()) return nullptr;
    return emulators_[static_cast<size_t>(index)].get();
}

Emulator* Engine::GetActiveEmulator() const { return active_; }
CString Engine::GetFileName() const { return fileName_; }

}  // namespace Emu

// plugin_speed.cpp - a cartridge run through the engine and the Kestrine
// plug-in as the program runs it (each frame an Execute call, then the
// window's events), with frame pacing off, every frame shown in a 240 x 160
// view and sound at 22050 Hz on SDL's audio device. Prints the same line as
// the headless runner's --bench, for bench/plugin-speed to compare.
//
// Usage: plugin-speed CARTRIDGE FRAMES
// Settings live in a temporary configuration folder; Qt's offscreen platform
// and SDL's dummy driver are used unless the environment chooses others.
#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/base_sound.h"
#include "engine/emulator.h"
#include "engine/engine.h"

namespace {

constexpr double RealFramesPerSecond = 59.7275;

Emu::Emulator* FindGba(const Emu::Engine& engine) {
    for (int i = 0; i < engine.GetEmulatorCount(); ++i)
        if (engine.GetEmulator(i)->GetID() == CString(L"GameBoyAdvance")) return engine.GetEmulator(i);
    return nullptr;
}

// The offscreen platform's notices (no runtime folder, no window raising) would
// land in the middle of the benchmark table; warnings that matter come as
// critical messages, which still print.
void DropQtNotices(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

int Run(const std::string& cartridge, long frames) {
    qInstallMessageHandler(DropQtNotices);
    int argc = 1;
    char name[] = "plugin-speed";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QWidget view;
    view.resize(240, 160);
    view.show();
    Emu::Engine::MessageHook() = [](const CString& text) { std::fprintf(stderr, "%s\n", text.ToUtf8().c_str()); };
    Emu::Engine engine(&view);
    Emu::Emulator* gba = FindGba(engine);
    if (!gba) {
        std::fprintf(stderr, "plugin-speed: the engine found no GameBoy Advance plug-in\n");
        return 1;
    }
    engine.GetSettings().set(L"Sound", true);
    gba->GetSettings().set(L"FrameSync", false);
    gba->GetSettings().set(L"FrameSkip", 1);
    gba->GetSettings().set(L"SoundRate", 22050);
    if (!engine.RunFile(CString::FromUtf8(cartridge))) {
        std::fprintf(stderr, "plugin-speed: cannot run %s\n", cartridge.c_str());
        return 1;
    }
    if (!gba->GetSound()->IsOpen()) std::fprintf(stderr, "plugin-speed: no sound device, running silent\n");
    auto start = std::chrono::steady_clock::now();
    for (long frame = 0; frame < frames; ++frame) {
        gba->Execute();
        QApplication::processEvents();
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double fps = seconds > 0 ? frames / seconds : 0;
    std::printf("frames=%ld seconds=%.3f fps=%.1f speed=%.2f\n", frames, seconds, fps, fps / RealFramesPerSecond);
    engine.Shutdown();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: plugin-speed CARTRIDGE FRAMES\n");
        return 2;
    }
    std::string cartridge = std::filesystem::absolute(argv[1]).string();
    long frames = std::strtol(argv[2], nullptr, 10);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    std::string pattern = (std::filesystem::temp_directory_path() / "plugin-speed-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    setenv("TAMBORIL_HOME", pattern.c_str(), 1);
    int status = Run(cartridge, frames);
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return status;
}

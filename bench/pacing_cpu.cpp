// pacing_cpu.cpp - the processor time a paced emulator takes when the
// emulation itself costs nothing: an engine with a video object that presents
// an empty 240 x 160 frame through BaseVideo::PutImage with frame sync on, and
// a sound ring at 22050 Hz refilled once a frame (SDL's dummy driver unless
// SDL_AUDIODRIVER names another). What remains is the pacing wait, the
// presentation and the sound refills. Prints the process's processor time as
// a share of one core for frame skips 1 and 3.
//
// Usage: pacing-cpu [SECONDS]   (default 5 per frame skip)
#include <sys/resource.h>

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/base_sound.h"
#include "engine/base_video.h"
#include "engine/emulator.h"
#include "engine/engine.h"
#include "engine/program_folder.h"
#include "lumaret/wince.h"

namespace {

class IdleEmulator : public Emu::Emulator {
public:
    void Stop() override {}
    void Reset() override {}
    bool RunFile(CString) override { return false; }
    bool Execute() override { return true; }
    bool SaveState() override { return false; }
    bool HasState() override { return false; }
    bool LoadState() override { return false; }
    bool CheckState() override { return false; }
    void ShowSettings() override {}
    void LoadSettings(CRegistry&) override {}
    void SaveSettings(CRegistry&) override {}
    void ResetSettings() override {}
    CString GetName() override { return L"Idle"; }
    CString GetFileFilter() override { return L""; }
    CString GetID() override { return L"Idle"; }
};

class IdleVideo : public Emu::BaseVideo {
public:
    using BaseVideo::BaseVideo;
    ~IdleVideo() override { Close(); }
    void Open() override {
        surface_ = Lumaret::WinCE::CreateSurface(500, 160, 16);
        BaseVideo::Open();
    }
    void Close() override {
        delete surface_;
        surface_ = nullptr;
    }
    void Redraw() override {}
    void SetColour(int, int, int, int) override {}
    bool SyncFrame() override { return SyncVideo(skip, frameSkip); }

    int skip = 0;
    int frameSkip = 1;
};

class SilentSound : public Emu::BaseSound {
public:
    explicit SilentSound(Emu::Emulator* emulator) : BaseSound(emulator) { channelCount_ = 6; }
    void FillBuffer(unsigned char* block) override { std::memset(block, 0x80, static_cast<size_t>(GetBlockSize())); }
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    // A configuration folder and a program folder of its own: no plug-ins, no saved settings touched.
    std::string folder = (std::filesystem::temp_directory_path() / "pacing-cpu-XXXXXX").string();
    if (!mkdtemp(folder.data())) return 1;
    setenv("TAMBORIL_HOME", folder.c_str(), 1);
    Emu::SetProgramFolder(CString::FromUtf8(folder));
    QApplication app(argc, argv);
    QWidget view;
    view.resize(480, 320);
    view.show();
    Emu::Engine::MessageHook() = [](const CString&) {};
    Emu::Engine engine(&view);
    engine.SetRunning(true);
    engine.GetSettings().set(L"Sound", true);

    IdleEmulator emulator;
    emulator.GetSettings().set(L"FrameSync", true);
    std::printf("%-12s %10s %12s %10s\n", "frame skip", "frames/s", "shown/s", "CPU");
    for (int frameSkip : {1, 3}) {
        IdleVideo video(&emulator);
        video.frameSkip = frameSkip;
        video.Open();
        SilentSound sound(&emulator);
        sound.Open(22050);
        Lumaret::Rect source{130, 0, 240, 160};
        const double cpuStart = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        int shown = 0;
        double elapsed = 0.0;
        while (elapsed < seconds) {
            QCoreApplication::processEvents();
            video.PutImage(source);
            sound.Trigger(true);
            ++shown;
            elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        const double cpu = CpuSeconds() - cpuStart;
        std::printf("%-12d %10.1f %12.1f %9.1f%%%s\n", frameSkip, shown * frameSkip / elapsed, shown / elapsed,
                    100.0 * cpu / elapsed, sound.IsOpen() ? "" : " (no sound device)");
    }
    std::filesystem::remove_all(folder);
    return 0;
}

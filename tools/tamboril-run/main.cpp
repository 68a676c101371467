// main.cpp - tamboril-run: runs a cartridge image headless, with no window and no pacing.
//
// Exit status: 0 success, 1 the cartridge or a state could not be loaded (or
// the state not saved), 2 bad usage, 3 the audio, screenshot or battery file
// could not be written. Each failure gets one line on stderr with its reason;
// the machine's console lines are those of the emulator.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "audio.h"
#include "cpu/cpu.h"
#include "headless.h"
#include "machine/battery_file.h"
#include "machine/cartridge.h"
#include "machine/save_state.h"
#include "machine/scanline.h"
#include "options.h"
#include "png_file.h"
#include "video/renderer.h"

namespace {

constexpr double RealFramesPerSecond = 59.7275;

int Usage(const std::string& message) {
    std::fprintf(stderr,
                 "tamboril-run: %s\n"
                 "usage: tamboril-run [--frames N] [--frameskip N] [--keys SCRIPT] [--audio FILE.wav [--rate HZ]]\n"
                 "                    [--screenshot FILE.png] [--regs] [--bench] [--console]\n"
                 "                    [--load-state FILE] [--save-state FILE] [--] CARTRIDGE\n",
                 message.c_str());
    return 2;
}

// One stderr line after the console text that led to it.
void Complain(const std::string& what, const std::string& path, const std::string& reason) {
    std::fflush(stdout);
    std::fprintf(stderr, "tamboril-run: cannot %s %s%s%s\n", what.c_str(), path.c_str(), reason.empty() ? "" : ": ",
                 reason.c_str());
}

void PrintRegisters() {
    for (int i = 0; i < 16; ++i) std::printf("R%d=%08X ", i, Cpu.r[i]);
    std::printf("CPSR=%08X\n", Cpu.cpsr);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (std::string error = ParseOptions(argc, argv, options); !error.empty()) return Usage(error);
    std::error_code ignored;
    if (!options.saveState.empty() && std::filesystem::equivalent(options.saveState, options.cartridge, ignored))
        return Usage("--save-state " + options.saveState + " is the cartridge itself");

    Headless::SetConsoleEcho(options.console);
    if (options.hasKeys) Headless::SetKeyScript(&options.keys);
    // The synthesizer must be open before the machine's reset describes the voices.
    if (!options.audio.empty()) Headless::OpenAudio(static_cast<int32_t>(options.rate));
    if (!Headless::StartMachine(options.cartridge)) {
        Complain("load", options.cartridge, LoadFailure);
        return 1;
    }
    FrameSkip = static_cast<int32_t>(options.frameSkip);
    if (!options.loadState.empty() && !Headless::LoadState(options.loadState)) {
        Complain("load the state", options.loadState, StateLoadFailure);
        const std::string battery = SavePath;
        if (!Headless::StopMachine()) Complain("write the battery file", battery, SaveFileFailure);
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    Headless::RunFrames(static_cast<int>(options.frames));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.regs) PrintRegisters();
    if (options.bench) {
        double frames = static_cast<double>(options.frames);
        double fps = seconds > 0 ? frames / seconds : 0;
        std::printf("frames=%llu seconds=%.3f fps=%.1f speed=%.2f\n", static_cast<unsigned long long>(options.frames),
                    seconds, fps, fps / RealFramesPerSecond);
    }
    int status = 0;
    if (!options.saveState.empty() && !Headless::SaveState(options.saveState)) {
        Complain("save the state", options.saveState, "");
        status = 1;
    }
    if (!options.screenshot.empty() &&
        !Png::WritePng(options.screenshot, Png::ImageFromRgb565(Headless::LastFrame(), ScreenWidth, ScreenHeight))) {
        Complain("write", options.screenshot, "");
        status = 3;
    }
    // Shutdown writes the battery file, as when the emulator stops.
    const std::string battery = SavePath;
    if (!Headless::StopMachine()) {
        Complain("write the battery file", battery, SaveFileFailure);
        status = 3;
    }
    if (!options.audio.empty() &&
        !Headless::WriteWav(options.audio, Headless::AudioSamples(), static_cast<int32_t>(options.rate))) {
        Complain("write", options.audio, "");
        status = 3;
    }
    return status;
}

// main.cpp - tamboril-run: runs a cartridge image headless, with no window and no pacing.
//
// Exit status: 0 success, 1 the cartridge or a state could not be loaded (or
// the state not saved), 2 bad usage, 3 the audio or screenshot file could not be written.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio.h"
#include "cpu/cpu.h"
#include "headless.h"
#include "machine/scanline.h"
#include "png_file.h"
#include "video/renderer.h"

namespace {

constexpr double RealFramesPerSecond = 59.7275;

struct Options {
    std::string cartridge;
    long frames = 60;
    long frameSkip = 1;  // frames per shown frame
    bool regs = false;
    bool bench = false;
    bool console = false;
    Headless::KeyScript keys;
    bool hasKeys = false;
    std::string audio;  // WAV file for the run's sound, if any
    long rate = 22050;
    std::string saveState;
    std::string loadState;
    std::string screenshot;
};

int Usage(const char* message) {
    std::fprintf(stderr,
                 "tamboril-run: %s\n"
                 "usage: tamboril-run [--frames N] [--frameskip N] [--keys SCRIPT] [--audio FILE.wav [--rate HZ]]\n"
                 "                    [--screenshot FILE.png] [--regs] [--bench] [--console]\n"
                 "                    [--load-state FILE] [--save-state FILE] CARTRIDGE\n",
                 message);
    return 2;
}

bool ParseCount(const char* text, long& out) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 0) return false;
    out = value;
    return true;
}

void PrintRegisters() {
    for (int i = 0; i < 16; ++i) std::printf("R%d=%08X ", i, Cpu.r[i]);
    std::printf("CPSR=%08X\n", Cpu.cpsr);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--frames")) {
            if (++i >= argc || !ParseCount(argv[i], options.frames)) return Usage("--frames needs a count");
        } else if (!std::strcmp(arg, "--frameskip")) {
            if (++i >= argc || !ParseCount(argv[i], options.frameSkip) || options.frameSkip < 1 ||
                options.frameSkip > INT32_MAX)
                return Usage("--frameskip needs a count of at least 1");
        } else if (!std::strcmp(arg, "--keys")) {
            std::string error;
            if (++i >= argc) return Usage("--keys needs a script");
            if (!options.keys.Parse(argv[i], error)) return Usage(("bad key script: " + error).c_str());
            options.hasKeys = true;
        } else if (!std::strcmp(arg, "--audio")) {
            if (++i >= argc || !*argv[i]) return Usage("--audio needs a file name");
            options.audio = argv[i];
        } else if (!std::strcmp(arg, "--rate")) {
            if (++i >= argc || !ParseCount(argv[i], options.rate) || options.rate < 1000 || options.rate > 192000)
                return Usage("--rate needs a sample rate from 1000 to 192000 Hz");
        } else if (!std::strcmp(arg, "--regs")) {
            options.regs = true;
        } else if (!std::strcmp(arg, "--bench")) {
            options.bench = true;
        } else if (!std::strcmp(arg, "--console")) {
            options.console = true;
        } else if (!std::strcmp(arg, "--save-state") || !std::strcmp(arg, "--load-state")) {
            if (i + 1 >= argc) return Usage((std::string(arg) + " needs a file").c_str());
            std::string& target = std::strcmp(arg, "--save-state") ? options.loadState : options.saveState;
            target = argv[++i];
        } else if (!std::strcmp(arg, "--screenshot")) {
            if (++i >= argc || !*argv[i]) return Usage("--screenshot needs a file name");
            options.screenshot = argv[i];
        } else if (arg[0] == '-' && arg[1]) {
            return Usage((std::string("unknown option ") + arg).c_str());
        } else if (options.cartridge.empty()) {
            options.cartridge = arg;
        } else {
            return Usage("only one cartridge can be run");
        }
    }
    if (options.cartridge.empty()) return Usage("no cartridge given");

    Headless::SetConsoleEcho(options.console);
    if (options.hasKeys) Headless::SetKeyScript(&options.keys);
    // The synthesizer must be open before the machine's reset describes the voices.
    if (!options.audio.empty()) Headless::OpenAudio(static_cast<int32_t>(options.rate));
    if (!Headless::StartMachine(options.cartridge)) {
        std::fflush(stdout);
        std::fprintf(stderr, "tamboril-run: cannot load %s\n", options.cartridge.c_str());
        return 1;
    }
    FrameSkip = static_cast<int32_t>(options.frameSkip);
    if (!options.loadState.empty() && !Headless::LoadState(options.loadState)) {
        std::fflush(stdout);
        std::fprintf(stderr, "tamboril-run: cannot load the state %s\n", options.loadState.c_str());
        Headless::StopMachine();
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    Headless::RunFrames(static_cast<int>(options.frames));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.regs) PrintRegisters();
    if (options.bench) {
        double fps = seconds > 0 ? options.frames / seconds : 0;
        std::printf("frames=%ld seconds=%.3f fps=%.1f speed=%.2f\n", options.frames, seconds, fps,
                    fps / RealFramesPerSecond);
    }
    int status = 0;
    if (!options.saveState.empty() && !Headless::SaveState(options.saveState)) {
        std::fflush(stdout);
        std::fprintf(stderr, "tamboril-run: cannot save the state %s\n", options.saveState.c_str());
        status = 1;
    }
    if (!options.screenshot.empty() &&
        !Png::WritePng(options.screenshot, Png::ImageFromRgb565(Headless::LastFrame(), ScreenWidth, ScreenHeight))) {
        std::fprintf(stderr, "tamboril-run: cannot write %s\n", options.screenshot.c_str());
        status = 3;
    }
    // Shutdown writes the battery file, as when the emulator stops.
    Headless::StopMachine();
    if (!options.audio.empty() &&
        !Headless::WriteWav(options.audio, Headless::AudioSamples(), static_cast<int32_t>(options.rate))) {
        std::fprintf(stderr, "tamboril-run: cannot write %s\n", options.audio.c_str());
        status = 3;
    }
    return status;
}

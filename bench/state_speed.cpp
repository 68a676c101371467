// state_speed.cpp - speed of machine states and of the cartridge loader.
//
// SaveState and LoadState save and load a state of a machine whose memory is
// filled with varied data (a worst case for the compressor next to a fresh
// machine's zeros); LoadImage maps a 32 MB image, plain and gzip-compressed.
// Targets: a state saved or loaded in at most 20 ms, a 32 MB image mapped in
// at most 300 ms (Release build).
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "headless.h"
#include "machine/memory.h"
#include "machine/save_state.h"

namespace {

std::string Folder() {
    static std::string folder = [] {
        char pattern[] = "/tmp/tamboril-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return folder;
}

// An image of `size` bytes with a valid header over an idle loop and varied
// bytes after it.
std::vector<uint8_t> MakeImage(size_t size) {
    std::vector<uint8_t> image(size, 0);
    uint32_t x = 12345;
    for (size_t i = 0xC4; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        image[i] = static_cast<uint8_t>(x >> 24);
    }
    const uint8_t entry[8] = {0x2E, 0x00, 0x00, 0xEA, 0xFE, 0xFF, 0xFF, 0xEA};  // B 0xC0; B .
    for (int i = 0; i < 4; ++i) {
        image[i] = entry[i];
        image[0xC0 + i] = entry[4 + i];
    }
    image[0xB2] = 0x96;
    uint32_t sum = 0;
    for (size_t i = 0xA0; i <= 0xBC; ++i) sum += image[i];
    image[0xBD] = static_cast<uint8_t>(0xE7 - sum);
    return image;
}

std::string WriteImage(const std::string& name, size_t size, bool compressed) {
    std::string path = Folder() + "/" + name;
    std::vector<uint8_t> image = MakeImage(size);
    if (compressed) {
        gzFile file = gzopen(path.c_str(), "wb1");
        gzwrite(file, image.data(), static_cast<unsigned>(image.size()));
        gzclose(file);
    } else {
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(image.data(), 1, image.size(), file);
        std::fclose(file);
    }
    return path;
}

void StartBusyMachine() {
    static std::string image = WriteImage("state.gba", 0x8000, false);
    Headless::StopMachine();
    if (!Headless::StartMachine(image)) std::abort();
    uint32_t x = 99;
    auto fill = [&](uint8_t* buffer, uint32_t size) {
        for (uint32_t i = 0; i < size; ++i) {
            x = x * 1103515245u + 12345u;
            buffer[i] = static_cast<uint8_t>((x >> 16) & ((i & 0x100) ? 0xFF : 0x0F));
        }
    };
    fill(ExternalRam(), ExternalRamSize);
    fill(InternalRam(), InternalRamSize);
    fill(VideoRam(), VideoRamSize);
    fill(PaletteRam(), 1024);
    fill(ObjectRam(), 1024);
}

void SaveState(benchmark::State& state) {
    StartBusyMachine();
    std::string path = Folder() + "/bench.sta";
    for (auto _ : state)
        if (!SaveMachineState(path.c_str())) state.SkipWithError("save failed");
}
BENCHMARK(SaveState)->Unit(benchmark::kMillisecond);

void LoadState(benchmark::State& state) {
    StartBusyMachine();
    std::string path = Folder() + "/bench.sta";
    if (!SaveMachineState(path.c_str())) state.SkipWithError("save failed");
    for (auto _ : state)
        if (!LoadMachineState(path.c_str())) state.SkipWithError("load failed");
}
BENCHMARK(LoadState)->Unit(benchmark::kMillisecond);

void LoadImage(benchmark::State& state) {
    bool compressed = state.range(0) != 0;
    std::string path = WriteImage(compressed ? "big.gba.gz" : "big.gba", MaxCartridgeSize, compressed);
    for (auto _ : state) {
        Headless::StopMachine();
        if (!Headless::StartMachine(path)) state.SkipWithError("load failed");
    }
    Headless::StopMachine();
    std::remove(path.c_str());
}
BENCHMARK(LoadImage)->Arg(0)->Arg(1)->ArgName("gzip")->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();

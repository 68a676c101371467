// render_speed.cpp - frames per second of the scanline renderer on a heavy and a typical scene.
//
// Each benchmark iteration draws one whole frame (lines 0..159) with
// RenderLine. Run under callgrind with --frames to count host instructions:
//   valgrind --tool=callgrind build/bin/render-speed --scene=heavy --frames=10
// and subtract the count of --frames=0 (machine start and scene set-up).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "headless.h"
#include "machine/io.h"
#include "machine/memory.h"
#include "video/renderer.h"

namespace {

// A cartridge that only idles, so that the machine's buffers exist.
bool BootIdleMachine() {
    std::vector<uint8_t> image(0x200, 0);
    const uint32_t branch = 0xEA00002E, idle = 0xEAFFFFFE;
    std::memcpy(&image[0], &branch, 4);
    std::memcpy(&image[0xC0], &idle, 4);
    image[0xB2] = 0x96;
    image[0xBD] = static_cast<uint8_t>(0xE7 - 0x96);
    std::string path = "/tmp/render-speed-idle.gba";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    std::fclose(file);
    return written && Headless::StartMachine(path);
}

void SetIo(uint32_t offset, uint32_t value) {
    StoreIo(offset, value);
    if (offset >= 0x08 && offset <= 0x0E) UpdateBgOrder((offset - 0x08) / 2, value);
}

// Opaque 16-colour tiles everywhere, every palette entry a colour.
void FillTilesAndPalettes() {
    for (uint32_t i = 0; i < 512; ++i) Store16(PaletteRam() + 2 * i, (i * 0x1F3) & 0x7FFF);
    for (uint32_t i = 0; i < VideoRamSize; i += 4) Store32(VideoRam() + i, 0x12345678 + i * 0x01010101);
    for (uint32_t block = 24; block < 32; ++block)
        for (uint32_t i = 0; i < 1024; ++i) Store16(VideoRam() + block * 2048 + 2 * i, (i % 512) | (i % 16) << 12);
    for (uint32_t n = 0; n < 128; ++n) Store16(ObjectRam() + 8 * n, 0x200);
}

void TextBackgrounds(int count) {
    for (int bg = 0; bg < count; ++bg) {
        SetIo(Reg::BG0CNT + 2 * bg, static_cast<uint32_t>(bg % 4) | (24 + 2 * bg) << 8);
        SetIo(Reg::BG0HOFS + 4 * bg, 3 + 17 * bg);
        SetIo(Reg::BG0VOFS + 4 * bg, 5 * bg);
    }
}

// Four text backgrounds, 128 sprites of 64 x 64 covering every line of the
// frame (their tops spread over lines -32..127, so each line crosses 51..128
// of them, 128 at the middle lines), alpha blending of BG0 and the sprites over
// the other backgrounds.
void HeavyScene() {
    FillTilesAndPalettes();
    TextBackgrounds(4);
    for (uint32_t n = 0; n < 128; ++n) {
        uint32_t y = (n * 5 / 4 + 224) & 0xFF, x = (n * 37) % 240;
        Store16(ObjectRam() + 8 * n, y);
        Store16(ObjectRam() + 8 * n + 2, x | 3u << 14 | (n % 2) << 12);
        Store16(ObjectRam() + 8 * n + 4, (n * 64) % 1024 | (n % 4) << 10 | (n % 16) << 12);
    }
    SetIo(Reg::BLDCNT, 0x01 | 0x10 | 1 << 6 | 0x0E << 8);
    BlendEva = 10;
    BlendEvb = 6;
    SetIo(Reg::DISPCNT, 0x1F40);
}

// Mode 0 with three text backgrounds and 32 sprites of 16 x 16, no effects.
// BG1 and BG2 are opaque; BG0 is a status layer, transparent but for its top
// two tile rows (with `opaqueStatus` false; else it is opaque too).
void TypicalScene(bool opaqueStatus) {
    FillTilesAndPalettes();
    TextBackgrounds(3);
    if (!opaqueStatus) {
        for (uint32_t i = 0; i < 32; i += 4) Store32(VideoRam() + 1023 * 32 + i, 0);  // tile 1023 transparent
        for (uint32_t i = 64; i < 1024; ++i) Store16(VideoRam() + 24 * 2048 + 2 * i, 1023);
    }
    for (uint32_t n = 0; n < 32; ++n) {
        Store16(ObjectRam() + 8 * n, (n * 29) % 150);
        Store16(ObjectRam() + 8 * n + 2, ((n * 53) % 240) | 1u << 14);
        Store16(ObjectRam() + 8 * n + 4, (n * 4) | (n % 4) << 10 | (n % 16) << 12);
    }
    SetIo(Reg::BLDCNT, 0);
    SetIo(Reg::DISPCNT, 0x1740);
}

void RenderFrame() {
    for (int line = 0; line < ScreenHeight; ++line) RenderLine(line);
}

void BM_HeavyFrame(benchmark::State& state) {
    HeavyScene();
    for (auto _ : state) RenderFrame();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HeavyFrame);

void BM_TypicalFrame(benchmark::State& state) {
    TypicalScene(false);
    for (auto _ : state) RenderFrame();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TypicalFrame);

void BM_ThreeOpaqueLayersFrame(benchmark::State& state) {
    TypicalScene(true);
    for (auto _ : state) RenderFrame();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThreeOpaqueLayersFrame);

}  // namespace

// --scene=heavy|typical|opaque --frames=N renders N frames without the benchmark
// harness (for instruction counts); otherwise the benchmarks run.
int main(int argc, char** argv) {
    if (!BootIdleMachine()) {
        std::fprintf(stderr, "render-speed: cannot start the machine\n");
        return 1;
    }
    std::string scene;
    long frames = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strncmp(argv[i], "--scene=", 8)) scene = argv[i] + 8;
        if (!std::strncmp(argv[i], "--frames=", 9)) frames = std::strtol(argv[i] + 9, nullptr, 10);
    }
    if (!scene.empty()) {
        if (scene == "heavy")
            HeavyScene();
        else
            TypicalScene(scene == "opaque");
        for (long f = 0; f < frames; ++f) RenderFrame();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// present_speed.cpp - the cost of presenting one frame: the 240 x 160 picture of a
// 500 x 160 surface stretched to 720 x 480 in a shown view widget and painted at
// once, as the emulator does at the end of every frame. Target: at most 1 ms.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM names another (xcb under
// Xvfb measures the path to an X server as well).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <memory>

#include "lumaret/wince.h"
#include "lumaret/window.h"

namespace {

struct Scene {
    QWidget view;
    std::unique_ptr<Lumaret::Window> window;
    std::unique_ptr<Lumaret::Surface> surface;

    Scene() {
        view.resize(720, 480);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view)) qWarning("the view was never shown; nothing is painted");
        window.reset(Lumaret::WinCE::CreateWindow(&view));
        surface.reset(Lumaret::WinCE::CreateSurface(500, 160, 16));
        uint16_t* pixels = surface->Lock();
        for (int i = 0; i < 500 * 160; ++i) pixels[i] = static_cast<uint16_t>(i * 0x9E37);
        surface->Unlock();
    }
};

void PresentStretchedFrame(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        const bool drawn = scene.window->DrawSurface(scene.surface.get(), 130, 0, 240, 160, 0, 0, 720, 480);
        benchmark::DoNotOptimize(drawn);
    }
}
BENCHMARK(PresentStretchedFrame)->Unit(benchmark::kMicrosecond);

// The same through a short-lived window on the view, as a redraw does.
void PresentThroughTemporaryWindow(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        Lumaret::GDI::Window temporary(&scene.view);
        const bool drawn = temporary.DrawSurface(scene.surface.get(), 130, 0, 240, 160, 0, 0, 720, 480);
        benchmark::DoNotOptimize(drawn);
    }
}
BENCHMARK(PresentThroughTemporaryWindow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

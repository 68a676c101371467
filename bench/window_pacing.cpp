// window_pacing.cpp - frame pacing of the program's window on a real X server
// (bench/window-pacing runs it under Xvfb): the demo cartridge runs in the main
// window through the program's run loop with frame sync on; after a warm-up
// the frames shown in the view and the process's CPU time are counted over a
// measured span. Prints the frames shown per second, the frames emulated per
// second (shown times the frame skip, every frame being paced) and the share of
// one core used.
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "app/main_frame.h"
#include "app/main_view.h"
#include "app/run_loop.h"
#include "app/startup.h"
#include "engine/emulator.h"
#include "engine/program_folder.h"

namespace {

// Counts the view's paints: each shown frame repaints its rectangle.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void RunFor(App::CRunLoop& loop, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds && loop.Pass()) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER DEMO.gba [SECONDS [FRAMESKIP]]\n", argv[0]);
        return 2;
    }
    const int seconds = arguments.size() > 3 ? arguments[3].toInt() : 10;
    const int frameSkip = arguments.size() > 4 ? arguments[4].toInt() : 1;
    QTemporaryDir work;
    qputenv("TAMBORIL_HOME", (work.path() + QStringLiteral("/home")).toUtf8());
    const QString demo = work.path() + QStringLiteral("/demo.gba");
    QFile::copy(arguments[2], demo);
    Emu::SetProgramFolder(CString(arguments[1].toStdWString()));

    App::CMainFrame frame;
    // The machine takes its frame skip when a file starts.
    for (int i = 0; frame.GetEngine() && i < frame.GetEngine()->GetEmulatorCount(); ++i)
        frame.GetEngine()->GetEmulator(i)->GetSettings().set(L"FrameSkip", frameSkip);
    App::StartUp(frame, {QStringLiteral("tamboril"), demo});
    Emu::Engine* engine = frame.GetEngine();
    Emu::Emulator* emulator = engine ? engine->GetActiveEmulator() : nullptr;
    if (!emulator) {
        std::fprintf(stderr, "the demo did not start\n");
        return 1;
    }
    emulator->GetSettings().set(L"FrameSync", true);
    engine->UpdateSettings();
    PaintCounter counter;
    frame.GetView()->installEventFilter(&counter);

    App::CRunLoop loop(frame);
    RunFor(loop, 2000);
    counter.paints = 0;
    const double cpuStart = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    RunFor(loop, seconds * 1000);
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = CpuSeconds() - cpuStart;
    std::printf(
        "window pacing, frame skip %d: %d frames shown in %.2f s = %.2f fps shown, %.2f fps emulated; CPU %.2f s = "
        "%.0f%% of one core\n",
        frameSkip, counter.paints, wall, counter.paints / wall, counter.paints * frameSkip / wall, cpu,
        100.0 * cpu / wall);
    frame.Destroy();
    return 0;
}

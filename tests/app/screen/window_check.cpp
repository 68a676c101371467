// window_check.cpp - the program in a real window on an X server (run under
// Xvfb by CTest): `tamboril demo.gba` is started on a copy of the demo
// cartridge, the screen is photographed twice a second apart, and the program
// is ended with SIGTERM as a session's end would.
//
// Checks: the demo's picture is on the screen where the headless runner's
// frames hold still (the title text and panels, found at an integer scale);
// the two photographs differ inside the picture and nowhere else; the program
// ends with status 0, having written the battery file and the settings.
// Exit status 0 when all hold, 1 when not, 2 on bad usage or a missing tool.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct StaticPixel {
    int x, y;
    QRgb colour;
};

bool Close(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 24 && std::abs(qGreen(a) - qGreen(b)) <= 24 &&
           std::abs(qBlue(a) - qBlue(b)) <= 24;
}

// A fresh copy of the demo in its own folder, so that every run boots with an
// empty battery file.
QString FreshCopy(const QString& demo, const QString& folder) {
    QDir().mkpath(folder);
    const QString copy = folder + QStringLiteral("/demo.gba");
    QFile::remove(copy);
    QFile::copy(demo, copy);
    return copy;
}

// The headless runner's frames `frames`, each from a fresh boot.
std::vector<QImage> HeadlessFrames(const QString& runner, const QString& demo, const QString& work,
                                   const std::vector<int>& frames) {
    std::vector<QImage> pictures;
    for (int frame : frames) {
        const QString folder = work + QStringLiteral("/headless%1").arg(frame);
        const QString shot = folder + QStringLiteral("/frame.png");
        const QString copy = FreshCopy(demo, folder);
        QProcess::execute(
            runner, {QStringLiteral("--frames"), QString::number(frame), QStringLiteral("--screenshot"), shot, copy});
        pictures.push_back(QImage(shot).convertToFormat(QImage::Format_RGB32));
    }
    return pictures;
}

// Pixels equal in every frame: what a photograph at any time must show.
std::vector<StaticPixel> StillPixels(const std::vector<QImage>& frames) {
    std::vector<StaticPixel> still;
    const QImage& first = frames.front();
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            bool same = true;
            for (const QImage& frame : frames) same = same && frame.pixel(x, y) == first.pixel(x, y);
            if (same) still.push_back({x, y, first.pixel(x, y)});
        }
    }
    return still;
}

// Where the picture lies in `screen` at an integer scale: the rectangle whose
// still pixels match, or an empty one.
QRect FindPicture(const QImage& screen, const std::vector<StaticPixel>& still, QSize size) {
    for (int scale = 1; scale <= 4; ++scale) {
        const int width = size.width() * scale;
        const int height = size.height() * scale;
        for (int top = 0; top + height <= screen.height(); ++top) {
            for (int left = 0; left + width <= screen.width(); ++left) {
                size_t misses = 0;
                size_t checked = 0;
                for (const StaticPixel& pixel : still) {
                    ++checked;
                    if (!Close(screen.pixel(left + pixel.x * scale, top + pixel.y * scale), pixel.colour)) ++misses;
                    // Most places fail at once; a match may miss a few pixels.
                    if (misses > 4 + checked / 50) break;
                }
                if (misses <= 4 + still.size() / 50) return QRect(left, top, width, height);
            }
        }
    }
    return QRect();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 5) {
        std::fprintf(stderr, "usage: %s TAMBORIL DEMO.gba HEADLESS_RUNNER OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString program = arguments[1], demo = arguments[2], runner = arguments[3], output = arguments[4];
    QTemporaryDir work;
    if (!work.isValid() || !QGuiApplication::primaryScreen()) return 2;

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAMBORIL_HOME"), work.path() + QStringLiteral("/home"));
    QProcess tamboril;
    tamboril.setProcessEnvironment(environment);
    tamboril.setProcessChannelMode(QProcess::ForwardedChannels);
    const QString copy = FreshCopy(demo, work.path() + QStringLiteral("/window"));
    tamboril.start(program, {copy});
    if (!tamboril.waitForStarted()) return 2;
    QThread::sleep(5);
    const QImage first =
        QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    QThread::sleep(1);
    const QImage second =
        QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    tamboril.terminate();
    const bool ended = tamboril.waitForFinished(20000);
    QDir().mkpath(output);
    first.save(output + QStringLiteral("/window-1.png"));
    second.save(output + QStringLiteral("/window-2.png"));

    int failures = 0;
    auto check = [&](bool ok, const char* what) {
        std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
        if (!ok) ++failures;
    };
    check(ended && tamboril.exitStatus() == QProcess::NormalExit && tamboril.exitCode() == 0,
          "SIGTERM ends the program with status 0");
    check(QFile::exists(work.path() + QStringLiteral("/window/demo.sav")), "the battery file was written at the end");
    QFile store(work.path() + QStringLiteral("/home/HKEY_CURRENT_USER.reg"));
    check(store.open(QIODevice::ReadOnly) && store.readAll().contains("[HKEY_CURRENT_USER\\Software\\Tamboril]"),
          "the settings were saved at the end");

    const std::vector<QImage> frames = HeadlessFrames(runner, demo, work.path(), {240, 300, 360, 420});
    if (frames.front().isNull()) return 2;
    const std::vector<StaticPixel> still = StillPixels(frames);
    std::printf("%zu of %d pixels of the headless frames hold still\n", still.size(),
                frames.front().width() * frames.front().height());
    check(still.size() > 1000, "the demo has a still area to find");
    const QRect picture = FindPicture(first, still, frames.front().size());
    check(!picture.isEmpty(), "the first photograph shows the demo's still area");
    check(!FindPicture(second, still, frames.front().size()).isEmpty(), "so does the second");
    std::printf("picture at %d,%d, %d x %d\n", picture.x(), picture.y(), picture.width(), picture.height());

    int inside = 0;
    int outside = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            if (first.pixel(x, y) == second.pixel(x, y)) continue;
            if (picture.contains(x, y))
                ++inside;
            else
                ++outside;
        }
    }
    std::printf("%d pixels changed inside the picture, %d outside\n", inside, outside);
    check(!picture.isEmpty() && inside > picture.width() * picture.height() / 100, "the picture moves");
    check(outside == 0, "nothing else on the screen changes");
    return failures == 0 ? 0 : 1;
}

// window_check.cpp - the program in a real window on an X server (run under
// Xvfb by CTest): `tamboril demo.gba` is started on a copy of the demo
// cartridge, the screen is photographed twice a second apart, and the program
// is ended with SIGTERM as a session's end would.
//
// Checks: the first photograph shows, at a whole scale, the frame the headless
// runner draws at some frame number (searched near the frames that can have
// passed since the first picture appeared); the two photographs differ inside
// the picture and nowhere else; the program
// ends with status 0, having written the battery file and the settings.
// Exit status 0 when all hold, 1 when not, 2 on bad usage or a missing tool.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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
#include <utility>

namespace {

// A fresh copy of the demo in its own folder, so that every run boots with an
// empty battery file.
QString FreshCopy(const QString& demo, const QString& folder) {
    QDir().mkpath(folder);
    const QString copy = folder + QStringLiteral("/demo.gba");
    QFile::remove(copy);
    QFile::copy(demo, copy);
    return copy;
}

// The picture of the view: the bounding box of what is not the view's black
// background, in the rows where the view shows (black at the left edge).
QRect PictureBox(const QImage& screen) {
    QRect box;
    for (int y = 0; y < screen.height(); ++y) {
        if (qGray(screen.pixel(0, y)) != 0) continue;
        for (int x = 0; x < screen.width(); ++x)
            if ((screen.pixel(x, y) & 0xFFFFFF) != 0) box |= QRect(x, y, 1, 1);
    }
    return box;
}

// Share of the pixels of `picture` equal to the photograph's at `box`, the
// picture scaled by whole steps to the box.
double Agreement(const QImage& photo, const QRect& box, const QImage& picture) {
    if (box.width() % picture.width() != 0 || box.width() / picture.width() != box.height() / picture.height())
        return 0.0;
    const int scale = box.width() / picture.width();
    int equal = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (photo.pixel(box.x() + x * scale, box.y() + y * scale) == picture.pixel(x, y)) ++equal;
    return static_cast<double>(equal) / (picture.width() * picture.height());
}

// The headless runner's frame `frame` (from a fresh boot).
QImage HeadlessFrame(const QString& runner, const QString& demo, const QString& work, int frame) {
    const QString folder = work + QStringLiteral("/headless");
    const QString shot = folder + QStringLiteral("/frame.png");
    const QString copy = FreshCopy(demo, folder);
    QFile::remove(folder + QStringLiteral("/demo.sav"));
    QProcess::execute(runner,
                      {QStringLiteral("--frames"), QString::number(frame), QStringLiteral("--screenshot"), shot, copy});
    return QImage(shot).convertToFormat(QImage::Format_RGB32);
}

// The headless frame that agrees best with the photograph, searched outwards
// from `estimate` up to `spread` frames either way, stopping at a whole match:
// the frame number and its agreement.
std::pair<int, double> BestHeadlessFrame(const QString& runner, const QString& demo, const QString& work,
                                         const QImage& photo, const QRect& box, int estimate, int spread) {
    std::pair<int, double> best{estimate, 0.0};
    for (int step = 0; step <= 2 * spread && best.second < 1.0; ++step) {
        const int frame = estimate + (step % 2 ? (step + 1) / 2 : -step / 2);
        if (frame < 1) continue;
        const double agreement = Agreement(photo, box, HeadlessFrame(runner, demo, work, frame));
        if (agreement > best.second) best = {frame, agreement};
    }
    return best;
}

QImage Photograph() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
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
    // The first frame on the screen starts the clock that estimates which
    // frame a photograph shows (60 a second).
    QElapsedTimer clock;
    clock.start();
    while (PictureBox(Photograph()).width() < 240 && clock.elapsed() < 30000) QThread::msleep(50);
    clock.restart();
    QThread::sleep(4);
    const int estimate = static_cast<int>(clock.elapsed() * 60 / 1000);
    const QImage first = Photograph();
    QThread::sleep(1);
    const QImage second = Photograph();
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

    const QRect picture = PictureBox(first);
    std::printf("picture at %d,%d, %d x %d\n", picture.x(), picture.y(), picture.width(), picture.height());
    check(picture.width() >= 240 && picture.height() >= 160, "the view shows a picture");
    const auto [frame, agreement] = BestHeadlessFrame(runner, demo, work.path(), first, picture, estimate, 60);
    std::printf("headless frame %d (estimated %d) agrees in %.2f%% of its pixels\n", frame, estimate,
                100.0 * agreement);
    check(agreement >= 0.99, "the first photograph shows a frame of the headless runner");

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

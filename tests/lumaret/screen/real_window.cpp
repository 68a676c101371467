// real_window.cpp - a real window on an X server (run under Xvfb by CTest) shows a
// test surface through the display library; the program photographs the whole
// screen, writes the picture to the path given, and checks it.
//
// The surface's visible part (columns 130..369 of 500 x 160, as the emulator
// draws) holds eight colour bars over a black-and-white checkerboard; it is
// stretched three times to fill the 720 x 480 window, with a line of text over it.
// Exit status 0 when the screen shows the bars and the checkerboard where they
// belong, 1 when not, 2 on bad usage or when no window could be shown.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "lumaret/wince.h"
#include "lumaret/window.h"

namespace {

constexpr uint16_t kBars[8] = {0xFFFF, 0xFFE0, 0x07FF, 0x07E0, 0xF81F, 0xF800, 0x001F, 0x0000};
constexpr QRgb kBarColours[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};

// The test picture at visible column x (0..239), row y (0..159).
uint16_t TestPixel(int x, int y) {
    if (y < 100) return kBars[x / 30];
    return ((x / 10 + y / 10) & 1) ? 0xFFFF : 0x0000;
}

QRgb ExpectedAt(int x, int y) {
    if (y < 100) return kBarColours[x / 30];
    return ((x / 10 + y / 10) & 1) ? 0xFFFFFF : 0x000000;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SCREENSHOT.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QWidget view;
    view.setWindowTitle("Tamboril display test");
    view.setGeometry(40, 40, 720, 480);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) {
        std::fprintf(stderr, "the window was never shown\n");
        return 2;
    }

    std::unique_ptr<Lumaret::Window> window(Lumaret::WinCE::CreateWindow(&view));
    std::unique_ptr<Lumaret::Surface> surface(Lumaret::WinCE::CreateSurface(500, 160, 16));
    uint16_t* pixels = surface->Lock();
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 240; ++x) pixels[y * surface->GetPitch() / 2 + 130 + x] = TestPixel(x, y);
    surface->Unlock();
    window->DrawSurface(surface.get(), 130, 0, 240, 160, 0, 0, 720, 480);
    window->DrawText(10, 8, L"Tamboril: 240 x 160 stretched to 720 x 480");
    QTest::qWait(200);  // let the X server show it

    const QImage screen =
        QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    if (!screen.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    const QPoint origin = view.mapToGlobal(QPoint(0, 0));
    int wrong = 0;
    // The centre of every stretched source pixel below the text line.
    for (int y = 20; y < 160; ++y)
        for (int x = 0; x < 240; ++x) {
            const QRgb shown = screen.pixel(origin.x() + 3 * x + 1, origin.y() + 3 * y + 1) & 0xFFFFFF;
            wrong += shown != ExpectedAt(x, y);
        }
    std::printf("window at (%d, %d) on a %d x %d screen; %d of %d sampled pixels wrong; screenshot %s\n", origin.x(),
                origin.y(), screen.width(), screen.height(), wrong, 140 * 240, argv[1]);
    return wrong == 0 ? 0 : 1;
}

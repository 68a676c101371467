// window_test.cpp - surfaces and text drawn into a view widget, read back from
// the widget under Qt's offscreen platform.
#include "lumaret/window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <climits>
#include <functional>
#include <memory>

#include "lumaret/wince.h"
#include "lumaret_test_app.h"

namespace {

constexpr QRgb kBackground = 0xFFFF00FF;

// A view that paints itself magenta and counts its own paint handling; `during`
// runs inside it, as the program's view asks the emulator to redraw.
class View : public QWidget {
public:
    View(int width, int height) {
        resize(width, height);
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
    }
    int paints = 0;
    std::function<void()> during;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        QPainter(this).fillRect(rect(), QColor::fromRgb(kBackground));
        if (during) during();
    }
};

// Counts the paint events the view receives, whoever handles them.
class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

// A pattern in which neighbouring pixels always differ.
uint16_t Pattern(int x, int y) { return static_cast<uint16_t>(((x + y) & 31) << 11 | (y & 63) << 5 | (x & 31)); }

std::unique_ptr<Lumaret::Surface> PatternSurface(int width = 500, int height = 160) {
    std::unique_ptr<Lumaret::Surface> surface(Lumaret::WinCE::CreateSurface(width, height, 16));
    uint16_t* pixels = surface->Lock();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[y * surface->GetPitch() / 2 + x] = Pattern(x, y);
    surface->Unlock();
    return surface;
}

// The colour Qt itself shows an RGB565 pixel as.
QRgb Shown(uint16_t pixel) {
    QImage one(1, 1, QImage::Format_RGB16);
    *reinterpret_cast<uint16_t*>(one.bits()) = pixel;
    return one.convertToFormat(QImage::Format_RGB32).pixel(0, 0);
}

QImage ReadBack(QWidget& view) { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Pixels of `image` inside `area` that are not the source pixel the stretch puts
// there (source rectangle at sx, sy scaled by the integer factor), and outside it
// that are not the background.
int WrongPixels(const QImage& image, QRect area, int sx, int sy, int factor) {
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb expected = area.contains(x, y)
                                      ? Shown(Pattern(sx + (x - area.x()) / factor, sy + (y - area.y()) / factor))
                                      : kBackground;
            wrong += image.pixel(x, y) != expected;
        }
    return wrong;
}

class WindowTest : public ::testing::Test {
protected:
    WindowTest() { TestApp(); }

    // Draws the pattern's `source` rectangle at `at`, `factor` times enlarged, into
    // a fresh view of `size` through the window the engine makes, and counts the
    // view's wrong pixels.
    static int WrongAfterDrawing(QSize size, QRect source, QPoint at, int factor) {
        View view(size.width(), size.height());
        std::unique_ptr<Lumaret::Window> window(Lumaret::WinCE::CreateWindow(&view));
        auto surface = PatternSurface();
        const QRect target(at, source.size() * factor);
        EXPECT_TRUE(window->DrawSurface(surface.get(), source.x(), source.y(), source.width(), source.height(),
                                        target.x(), target.y(), target.width(), target.height()));
        return WrongPixels(ReadBack(view), target, source.x(), source.y(), factor);
    }
};

TEST_F(WindowTest, SurfaceRectangleLandsAtTargetRectangle) {
    EXPECT_EQ(WrongAfterDrawing({320, 240}, {130, 0, 240, 160}, {40, 30}, 1), 0);
    // Rows converted in blocks of pixels, with a few left over at the end.
    EXPECT_EQ(WrongAfterDrawing({320, 240}, {3, 7, 77, 50}, {5, 9}, 1), 0);
}

TEST_F(WindowTest, DoublingRepeatsEveryPixelExactly) {
    EXPECT_EQ(WrongAfterDrawing({320, 240}, {130, 20, 100, 80}, {10, 5}, 2), 0);
}

TEST_F(WindowTest, FrameTripledFillsTheView) {
    EXPECT_EQ(WrongAfterDrawing({720, 480}, {130, 0, 240, 160}, {0, 0}, 3), 0);
}

TEST_F(WindowTest, ViewRectangleLimitsDrawingUntilReset) {
    View view(320, 240);
    Lumaret::GDI::Window window(&view);
    auto surface = PatternSurface();
    Lumaret::Rect limit{50, 40, 100, 60};
    window.SetViewRect(&limit);
    ASSERT_TRUE(window.DrawSurface(surface.get(), 0, 0, 240, 160, 0, 0, 240, 160));
    EXPECT_EQ(WrongPixels(ReadBack(view), QRect(50, 40, 100, 60), 50, 40, 1), 0);

    Lumaret::Rect outside{300, 200, 20, 20};
    window.SetViewRect(&outside);
    EXPECT_FALSE(window.DrawSurface(surface.get(), 0, 0, 240, 160, 0, 0, 240, 160));

    window.ResetViewRect();
    ASSERT_TRUE(window.DrawSurface(surface.get(), 0, 0, 240, 160, 0, 0, 240, 160));
    EXPECT_EQ(WrongPixels(ReadBack(view), QRect(0, 0, 240, 160), 0, 0, 1), 0);
}

TEST_F(WindowTest, TargetPartlyOutsideTheViewIsClipped) {
    View view(320, 240);
    Lumaret::GDI::Window window(&view);
    auto surface = PatternSurface();
    ASSERT_TRUE(window.DrawSurface(surface.get(), 0, 0, 200, 100, -100, 200, 400, 200));
    EXPECT_EQ(WrongPixels(ReadBack(view), QRect(0, 200, 300, 40), 50, 0, 2), 0);
}

TEST_F(WindowTest, BadRectanglesDrawNothingAndLeaveTheSurfaceUnlocked) {
    View view(320, 240);
    Lumaret::GDI::Window window(&view);
    auto surface = PatternSurface();
    Lumaret::Surface* s = surface.get();
    EXPECT_FALSE(window.DrawSurface(s, 300, 0, 240, 160, 0, 0, 240, 160));  // past the right edge
    EXPECT_FALSE(window.DrawSurface(s, -1, 0, 240, 160, 0, 0, 240, 160));
    EXPECT_FALSE(window.DrawSurface(s, 0, 1, 240, 160, 0, 0, 240, 160));  // past the bottom
    EXPECT_FALSE(window.DrawSurface(s, 0, 0, 0, 160, 0, 0, 240, 160));
    EXPECT_FALSE(window.DrawSurface(s, 0, 0, 240, 160, 0, 0, 240, -5));
    EXPECT_FALSE(window.DrawSurface(s, 0, 0, 240, 160, 320, 0, 240, 160));  // right of the view
    EXPECT_FALSE(window.DrawSurface(s, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX));
    EXPECT_FALSE(window.DrawSurface(nullptr, 0, 0, 240, 160, 0, 0, 240, 160));
    EXPECT_FALSE(window.DrawSurface(s, 0, 0, 240, 160, INT_MIN, INT_MIN, INT_MAX, INT_MAX));  // ends at -1
    // A target far larger than the view: its top-left source pixel covers it all.
    ASSERT_TRUE(window.DrawSurface(s, 0, 0, 240, 160, -1000, -1000, INT_MAX, INT_MAX));
    EXPECT_EQ(static_cast<Lumaret::GDI::Surface*>(s)->GetLockCount(), 0);
    const QImage shown = ReadBack(view);
    EXPECT_EQ(shown.pixel(0, 0), Shown(Pattern(0, 0)));
    EXPECT_EQ(shown.pixel(319, 239), Shown(Pattern(0, 0)));
}

TEST_F(WindowTest, DrawingShowsAtOnceWithoutTheViewsOwnPainting) {
    View view(320, 240);
    Lumaret::GDI::Window window(&view);
    PaintCounter delivered;  // sees paint events before the window's canvas does
    view.installEventFilter(&delivered);
    auto surface = PatternSurface();
    const int paints = view.paints;
    ASSERT_TRUE(window.DrawSurface(surface.get(), 130, 0, 240, 160, 0, 0, 240, 160));
    EXPECT_GE(delivered.count, 1);  // painted within the call, no event loop needed
    EXPECT_EQ(view.paints, paints);
}

TEST_F(WindowTest, DrawingDuringTheViewsPaintingShowsAtItsEndWithoutRepaintLoop) {
    View view(320, 240);
    auto surface = PatternSurface();
    int draws = 0;
    // The draw-safe path: a short-lived window on the view, inside its painting.
    view.during = [&] {
        Lumaret::GDI::Window temporary(&view);
        draws += temporary.DrawSurface(surface.get(), 130, 0, 240, 160, 0, 0, 240, 160);
    };
    const int before = view.paints;
    view.update();
    QApplication::processEvents();
    const int paints = view.paints;
    EXPECT_GE(paints, before + 1);
    EXPECT_EQ(draws, paints - before);
    QApplication::processEvents();
    EXPECT_EQ(view.paints, paints);  // nothing asked for another painting
    view.during = nullptr;
    EXPECT_EQ(WrongPixels(ReadBack(view), QRect(0, 0, 240, 160), 130, 0, 1), 0);
}

TEST_F(WindowTest, PicturesStayOverTheViewsPaintingUntilRefresh) {
    View view(320, 240);
    std::unique_ptr<Lumaret::Window> window(Lumaret::WinCE::CreateWindow(&view));
    auto surface = PatternSurface();
    {
        Lumaret::GDI::Window pad(&view);  // another window on the same view, gone at once
        ASSERT_TRUE(pad.DrawSurface(surface.get(), 0, 80, 320, 80, 0, 160, 320, 80));
    }
    ASSERT_TRUE(window->DrawSurface(surface.get(), 130, 0, 240, 160, 40, 0, 240, 160));
    view.update();
    QApplication::processEvents();
    const QImage shown = ReadBack(view);
    EXPECT_EQ(WrongPixels(shown.copy(0, 0, 320, 160), QRect(40, 0, 240, 160), 130, 0, 1), 0);
    EXPECT_EQ(WrongPixels(shown.copy(0, 160, 320, 80), QRect(0, 0, 320, 80), 0, 80, 1), 0);

    window->Refresh();
    EXPECT_EQ(WrongPixels(ReadBack(view), QRect(), 0, 0, 1), 0);
}

TEST_F(WindowTest, ResizingTheViewForgetsPicturesPlacedForTheOldSize) {
    View view(320, 240);
    Lumaret::GDI::Window window(&view);
    auto surface = PatternSurface();
    ASSERT_TRUE(window.DrawSurface(surface.get(), 130, 0, 240, 160, 40, 40, 240, 160));
    view.resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(WrongPixels(ReadBack(view), QRect(), 0, 0, 1), 0);
}

TEST_F(WindowTest, TextIsDrawnAtItsPositionOnAnOpaqueBackground) {
    View view(320, 240);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    view.setPalette(palette);
    Lumaret::GDI::Window window(&view);
    window.DrawText(10, 8, L"VFPS: 60 AFPS: 60    ");
    const QImage shown = ReadBack(view);
    const QFontMetrics metrics(view.font());
    const QRect box(10, 8, metrics.horizontalAdvance("VFPS: 60 AFPS: 60    "), metrics.height());
    int ink = 0, other = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb pixel = shown.pixel(x, y);
            if (!box.contains(x, y))
                other += pixel != kBackground;
            else if (pixel != 0xFF000000u)
                ++ink;
        }
    EXPECT_GT(ink, 20);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(shown.pixel(box.right(), box.bottom()), 0xFF000000u);  // a trailing blank: background
}

TEST_F(WindowTest, RectanglesFollowTheView) {
    View view(320, 240);
    Lumaret::GDI::Window window(&view);
    const Lumaret::Rect* client = window.GetClientRect();
    EXPECT_EQ(client->x, 0);
    EXPECT_EQ(client->width, 320);
    EXPECT_EQ(client->height, 240);
    view.resize(400, 300);
    client = window.GetClientRect();
    EXPECT_EQ(client->width, 400);
    EXPECT_EQ(client->height, 300);
    Lumaret::Rect rect{};
    window.GetRect(&rect);
    const QPoint origin = view.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(rect.x, origin.x());
    EXPECT_EQ(rect.y, origin.y());
    EXPECT_EQ(rect.width, 400);
    EXPECT_EQ(rect.height, 300);
}

}  // namespace

// window.cpp - drawing surfaces and text into a view widget.
#include "window.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "surface.h"
#include "view_canvas.h"

namespace Lumaret {

Window::~Window() = default;

namespace GDI {

namespace {

// The common part of two rectangles (empty when they do not meet), computed wide
// so that no position plus size can overflow.
Rect Intersect(const Rect& a, const Rect& b) {
    const int64_t left = std::max<int64_t>(a.x, b.x), top = std::max<int64_t>(a.y, b.y);
    const int64_t right = std::min<int64_t>(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
    const int64_t bottom = std::min<int64_t>(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
    if (right <= left || bottom <= top) return {};
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
            static_cast<int32_t>(bottom - top)};
}

// Unlock on every way out of a drawing.
class SurfaceLock {
public:
    explicit SurfaceLock(Lumaret::Surface* surface) : surface_(surface), pixels_(surface->Lock()) {}
    ~SurfaceLock() { surface_->Unlock(); }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;
    const uint16_t* pixels() const { return pixels_; }

private:
    Lumaret::Surface* surface_;
    const uint16_t* pixels_;
};

}  // namespace

Window::Window(QWidget* view) : view_(view), canvas_(view ? ViewCanvas::Of(view) : nullptr) {}

Window::~Window() = default;

Rect Window::VisibleRect(const Rect& target) {
    const Rect visible = Intersect(target, *GetClientRect());
    return hasViewRect_ ? Intersect(visible, viewRect_) : visible;
}

bool Window::DrawSurface(Lumaret::Surface* surface, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) {
    if (!view_ || !canvas_ || !surface || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return false;
    const int width = surface->GetWidth(), height = surface->GetHeight();
    if (sx < 0 || sy < 0 || sw > width - sx || sh > height - sy) return false;
    const Rect visible = VisibleRect({dx, dy, dw, dh});
    if (visible.width <= 0 || visible.height <= 0) return false;

    QImage picture = canvas_->TakeBuffer(QSize(visible.width, visible.height));
    if (picture.isNull()) return false;  // no memory for it
    {
        SurfaceLock lock(surface);
        if (!lock.pixels()) return false;
        const int pitch = surface->GetPitch() / 2;
        canvas_->GetStretcher().Stretch(
            {lock.pixels(), pitch, sx, sy, sw, sh},
            {reinterpret_cast<uint32_t*>(picture.bits()), static_cast<int>(picture.bytesPerLine() / 4), dw, dh,
             visible.x - dx, visible.y - dy, visible.width, visible.height});
    }
    canvas_->Show(std::move(picture), QPoint(visible.x, visible.y));
    return true;
}

void Window::Refresh() {
    if (canvas_) canvas_->Clear();
}

void Window::BringToFront() {
    if (!view_) return;
    QWidget* top = view_->window();
    top->raise();
    top->activateWindow();
}

void Window::GetRect(Rect* rect) {
    if (!rect) return;
    if (!view_) {
        *rect = {};
        return;
    }
    const QPoint origin = view_->mapToGlobal(QPoint(0, 0));
    *rect = {origin.x(), origin.y(), view_->width(), view_->height()};
}

void Window::DrawText(int x, int y, const wchar_t* text) {
    if (!view_ || !canvas_ || !text) return;
    const QString line = QString::fromWCharArray(text);
    const QFontMetrics metrics(view_->font());
    const Rect box{x, y, std::max(1, metrics.horizontalAdvance(line)), metrics.height()};
    const Rect visible = VisibleRect(box);
    if (visible.width <= 0 || visible.height <= 0) return;

    QImage picture(visible.width, visible.height, QImage::Format_RGB32);
    if (picture.isNull()) return;
    picture.fill(view_->palette().color(QPalette::Window));
    {
        QPainter painter(&picture);
        painter.setFont(view_->font());
        painter.setPen(view_->palette().color(QPalette::WindowText));
        painter.drawText(QPoint(box.x - visible.x, box.y - visible.y + metrics.ascent()), line);
    }
    canvas_->Show(std::move(picture), QPoint(visible.x, visible.y));
}

void Window::ResetViewRect() { hasViewRect_ = false; }

void Window::SetViewRect(Rect* rect) {
    if (!rect) {
        ResetViewRect();
        return;
    }
    hasViewRect_ = true;
    viewRect_ = *rect;
}

Rect* Window::GetClientRect() {
    clientRect_ = view_ ? Rect{0, 0, view_->width(), view_->height()} : Rect{};
    return &clientRect_;
}

}  // namespace GDI
}  // namespace Lumaret

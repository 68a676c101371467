// window.h - the display window: draws surfaces and text into the view widget
// that shows the emulated screen.
//
// Drawing through a window never paints the widget directly. Each draw becomes a
// picture the view keeps (a surface rectangle stretched and converted to the
// screen's format once, or a line of text) and the view shows it at once by a
// repaint of just that rectangle; the view's own paint handling is not run for
// such a repaint, so drawing never calls back into the program's painting. When
// the view is painted for any other reason (exposed, resized, updated by the
// program) its own paint handling runs first and the kept pictures are painted
// over it; a draw made during that paint handling is shown at its end. A newer
// picture replaces older ones it covers; `Refresh` and a change of the view's
// size forget them all.
#pragma once

#include <QPointer>

#include "types.h"

class QWidget;

namespace Lumaret {

class Surface;
class ViewCanvas;

class LUMARET_API Window {
public:
    virtual ~Window();
    // Stretches the surface rectangle (sx, sy, sw, sh) onto the window rectangle
    // (dx, dy, dw, dh), nearest neighbour, clipped to the view rectangle and the
    // client area. False (nothing drawn) when the source does not lie inside the
    // surface, a rectangle is empty or nothing of it is visible.
    virtual bool DrawSurface(Surface* surface, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) = 0;
    // Forgets everything drawn and lets the view paint itself afresh.
    virtual void Refresh() = 0;
    // Raises and activates the top-level window of the view.
    virtual void BringToFront() = 0;
    // The view's rectangle on the screen (global position, size).
    virtual void GetRect(Rect* rect) = 0;
    // One line of text with its top-left corner at (x, y), on an opaque background
    // so that a shorter line drawn later leaves nothing of a longer one behind.
    virtual void DrawText(int x, int y, const wchar_t* text) = 0;
    // The view rectangle (where drawing may reach) becomes the whole client area.
    virtual void ResetViewRect() = 0;
    // Limits drawing to `rect` (client coordinates); null resets it.
    virtual void SetViewRect(Rect* rect) = 0;
    // The client area, (0, 0, width, height); the rectangle belongs to the window.
    virtual Rect* GetClientRect() = 0;
};

namespace GDI {

// The one kind of window: it draws into a QWidget. Several windows may draw into
// the same widget (a lasting one and short-lived ones); they share its pictures.
class LUMARET_API Window : public Lumaret::Window {
public:
    explicit Window(QWidget* view);
    ~Window() override;
    bool DrawSurface(Lumaret::Surface* surface, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                     int dh) override;
    void Refresh() override;
    void BringToFront() override;
    void GetRect(Rect* rect) override;
    void DrawText(int x, int y, const wchar_t* text) override;
    void ResetViewRect() override;
    void SetViewRect(Rect* rect) override;
    Rect* GetClientRect() override;

private:
    Rect VisibleRect(const Rect& target);

    QPointer<QWidget> view_;
    QPointer<ViewCanvas> canvas_;
    bool hasViewRect_ = false;
    Rect viewRect_{};
    Rect clientRect_{};
};

}  // namespace GDI
}  // namespace Lumaret

// view_canvas.h - the pictures a view widget keeps and paints (see window.h for
// how drawing reaches the screen). One canvas per widget, a child object of it.
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <vector>

#include "stretch.h"

class QWidget;

namespace Lumaret {

class ViewCanvas : public QObject {
    Q_OBJECT

public:
    // The widget's canvas, made on first use.
    static ViewCanvas* Of(QWidget* view);

    // A 32-bit picture buffer of `size` for the next Show; reuses the memory of a
    // picture that was replaced, so showing frame after frame allocates nothing.
    QImage TakeBuffer(QSize size);
    // Keeps `picture` with its top-left corner at `at` (view coordinates, the
    // picture lies inside the view) and shows it now, or at the end of the view's
    // paint handling when that is running. Pictures it covers are dropped.
    void Show(QImage picture, QPoint at);
    // Drops every picture and asks the view to paint itself.
    void Clear();

    Stretcher& GetStretcher() { return stretcher_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ViewCanvas(QWidget* view);
    void PaintPictures();

    struct Picture {
        QImage image;
        QRect area;
    };
    // Pictures that are never covered (text at ever new places) stop at this many.
    static constexpr size_t kMaxPictures = 32;

    QWidget* view_;
    std::vector<Picture> pictures_;
    QImage spare_;
    Stretcher stretcher_;
    bool inViewPaint_ = false;  // the view's own paint handling is running
    QRegion ownRepaint_;        // the region of the repaint Show asked for
};

}  // namespace Lumaret

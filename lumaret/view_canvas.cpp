// view_canvas.cpp - kept pictures of a view widget and their painting.
#include "view_canvas.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace Lumaret {

namespace {
const char kObjectName[] = "LumaretViewCanvas";
}

ViewCanvas::ViewCanvas(QWidget* view) : QObject(view), view_(view) {
    setObjectName(kObjectName);
    view->installEventFilter(this);
}

ViewCanvas* ViewCanvas::Of(QWidget* view) {
    if (auto* canvas = view->findChild<ViewCanvas*>(kObjectName, Qt::FindDirectChildrenOnly)) return canvas;
    return new ViewCanvas(view);  // owned by the view as its child
}

QImage ViewCanvas::TakeBuffer(QSize size) {
    QImage buffer;
    if (spare_.size() == size && spare_.isDetached()) buffer.swap(spare_);
    if (buffer.isNull()) buffer = QImage(size, QImage::Format_RGB32);
    return buffer;
}

void ViewCanvas::Show(QImage picture, QPoint at) {
    const QRect area(at, picture.size());
    for (auto it = pictures_.begin(); it != pictures_.end();) {
        if (area.contains(it->area)) {
            spare_.swap(it->image);
            it = pictures_.erase(it);
        } else {
            ++it;
        }
    }
    if (pictures_.size() == kMaxPictures) pictures_.erase(pictures_.begin());
    pictures_.push_back({std::move(picture), area});
    if (inViewPaint_) return;  // painted when the view's painting ends
    if (view_->testAttribute(Qt::WA_WState_InPaintEvent)) {
        // Inside a painting this canvas did not see begin (it was made during
        // it): the next painting shows the picture.
        view_->update(area);
        return;
    }
    // Paints only this rectangle, now; the event filter sees it is ours and
    // leaves the view's own painting out.
    ownRepaint_ = area;
    view_->repaint(area);
    ownRepaint_ = QRegion();
}

void ViewCanvas::Clear() {
    pictures_.clear();
    view_->update();
}

bool ViewCanvas::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) return false;
    // Pictures were placed for the old size (a centred frame moves); the view
    // paints itself anew and the program draws again for the new size.
    if (event->type() == QEvent::Resize) pictures_.clear();
    if (event->type() != QEvent::Paint) return false;
    const auto* paint = static_cast<QPaintEvent*>(event);
    // A repaint that covers more than the rectangle Show asked for (other parts
    // of the view were waiting to be painted) needs the view's own painting too.
    const bool onlyOwn = !ownRepaint_.isEmpty() && (paint->region() - ownRepaint_).isEmpty();
    if (!onlyOwn) {
        const bool outer = inViewPaint_;
        inViewPaint_ = true;
        static_cast<QObject*>(view_)->event(event);  // QObject::event is public
        inViewPaint_ = outer;
    }
    PaintPictures();
    return true;
}

void ViewCanvas::PaintPictures() {
    if (pictures_.empty()) return;
    QPainter painter(view_);
    for (const Picture& picture : pictures_) painter.drawImage(picture.area.topLeft(), picture.image);
}

}  // namespace Lumaret

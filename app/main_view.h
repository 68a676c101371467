// main_view.h - CMainView, the child window of the main frame that shows the
// emulated screen: it paints the background (bitmap or colour), lets the
// active emulator redraw its last frame, draws the on-screen pad in full
// screen, and turns mouse and touch into the stylus.
#pragma once

#include <QImage>
#include <QWidget>

#include "platform/cstring.h"

namespace App {

class CMainFrame;

class CMainView : public QWidget {
    Q_OBJECT

public:
    explicit CMainView(CMainFrame* frame);

    // The background bitmap in use and the file it came from (empty: none).
    const QImage& GetBackground() const { return background_; }
    const CString& GetBackgroundFile() const { return backgroundFile_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void Paint();
    // Loads BGFileName when it names another file than the cached one; a file
    // that cannot be loaded is forgotten (BGFileName becomes empty).
    void UpdateBackground();

    CMainFrame* frame_;
    QImage background_;
    CString backgroundFile_;
};

}  // namespace App

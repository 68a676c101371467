// frame_extras.cpp - the hot keys and drag and drop of the main window.
#include "app/frame_extras.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include "app/engine_guard.h"
#include "app/main_frame.h"
#include "app/main_view.h"
#include "app/qt_text.h"
#include "app/screenshot.h"
#include "engine/emulator.h"

namespace App {

namespace {

// The local file of a drag, or empty when it carries none.
QString DraggedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().isEmpty()) return {};
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

CFrameExtras::CFrameExtras(CMainFrame& frame) : frame_(frame) {
    frame.setAcceptDrops(true);
    frame.installEventFilter(this);
    frame.GetView()->installEventFilter(this);
}

bool CFrameExtras::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return HandleKey(event);
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: return HandleDrop(event);
    case QEvent::WindowDeactivate:
        // A key released in another window is never seen here.
        if (watched == &frame_) fastForward_.Release();
        return false;
    default: return false;
    }
}

bool CFrameExtras::HandleKey(QEvent* event) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool press = event->type() == QEvent::KeyPress;
    switch (key->key()) {
    case Qt::Key_Tab:
        if (!key->isAutoRepeat()) press ? fastForward_.Hold() : fastForward_.Release();
        return true;
    case Qt::Key_Backtab:
        // Releasing Tab with Shift down arrives as Backtab.
        if (!key->isAutoRepeat()) press ? fastForward_.Toggle() : fastForward_.Release();
        return true;
    case Qt::Key_F12:
        if (press && !key->isAutoRepeat() && frame_.GetEngine()) {
            const int scale = key->modifiers() & Qt::ShiftModifier ? 2 : 1;
            RunGuarded([&] { SaveScreenshot(*frame_.GetEngine(), scale); });
        }
        return true;
    default: return false;
    }
}

bool CFrameExtras::HandleDrop(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = DraggedFile(drop->mimeData());
    if (path.isEmpty()) return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) RunDroppedFile(path);
    return true;
}

void CFrameExtras::RunDroppedFile(const QString& path) {
    Emu::Engine* engine = frame_.GetEngine();
    if (!engine) return;
    RunGuarded([&] {
        engine->Pause();
        if (!engine->RunFile(FromQt(path))) Emu::ConsolePrintf("No emulator runs %s\n", path.toUtf8().constData());
        if (Emu::Emulator* active = engine->GetActiveEmulator()) active->CheckState();
        engine->Resume();
    });
    frame_.UpdateCommands();
}

}  // namespace App

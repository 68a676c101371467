// main_view.cpp - painting the view and feeding the stylus.
#include "app/main_view.h"

#include <QKeyEvent>
#include <QPainter>

#include "app/command_ids.h"
#include "app/engine_guard.h"
#include "app/main_frame.h"
#include "app/qt_text.h"
#include "engine/base_video.h"
#include "engine/emulator.h"
#include "engine/pad_skin.h"
#include "lumaret/input.h"
#include "lumaret/keys.h"
#include "lumaret/window.h"

namespace App {

CMainView::CMainView(CMainFrame* frame) : QWidget(frame), frame_(frame) {
    setObjectName(QStringLiteral("view"));
    setProperty(kControlIdProperty, kViewId);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 160);
}

void CMainView::keyPressEvent(QKeyEvent* event) { frame_->ProcessKey(event); }
void CMainView::keyReleaseEvent(QKeyEvent* event) { frame_->ProcessKey(event); }

bool CMainView::event(QEvent* event) {
    Lumaret::StylusEvent stylus;
    Emu::Engine* engine = frame_->GetEngine();
    if (!engine || !Lumaret::TranslateStylusEvent(event, &stylus)) return QWidget::event(event);
    event->accept();
    RunGuarded([&] {
        if (Lumaret::Input* input = engine->GetInput()) input->Feed(stylus);
        if (stylus.action == Lumaret::StylusAction::Down) frame_->ToggleFullScreenOnTap(stylus.position.y);
    });
    return true;
}

void CMainView::paintEvent(QPaintEvent*) {
    if (!frame_->GetEngine()) {
        QPainter(this).fillRect(rect(), Qt::black);
        return;
    }
    RunGuarded([this] { Paint(); });
}

void CMainView::UpdateBackground() {
    PropertyMap& settings = frame_->GetEngine()->GetSettings();
    const CString file = settings.getString(L"BGFileName");
    if (file.IsEmpty() || file == backgroundFile_) return;
    backgroundFile_ = file;
    if (background_.load(ToQt(file))) return;
    background_ = QImage();
    backgroundFile_.Empty();
    settings.set(L"BGFileName", CString());
}

void CMainView::Paint() {
    Emu::Engine* engine = frame_->GetEngine();
    PropertyMap& settings = engine->GetSettings();
    const bool padShown = settings.getBoolean(L"VirtualPad") && settings.getBoolean(L"FullScreen");
    const int padHeight = padShown ? Emu::PadSkin::GetImageSize().cy / 2 : 0;

    UpdateBackground();
    {
        QPainter painter(this);
        if (!settings.getString(L"BGFileName").IsEmpty() && !background_.isNull())
            painter.drawImage(QRect(0, 0, width(), height() - padHeight), background_);
        else
            painter.fillRect(rect(), FromColorRef(settings.getInt(L"BGColor")));
    }

    Lumaret::Window* window = engine->GetWindow();
    if (window) {
        if (padShown) {
            Lumaret::Rect viewRect{0, 0, width(), height() - padHeight};
            window->SetViewRect(&viewRect);
        } else {
            window->ResetViewRect();
        }
    }
    Emu::Emulator* active = engine->GetActiveEmulator();
    if (engine->IsRunning() && active && active->GetVideo()) active->GetVideo()->Redraw();
    if (padShown && active) {
        active->LoadPad();
        Emu::PadSkin::DrawImage(this, 0, height() - Emu::PadSkin::GetImageSize().cy / 2);
    }
}

}  // namespace App

// button_dlg.cpp - the key capture dialog.
#include "button_dlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/engine.h"
#include "lumaret/input.h"
#include "lumaret/keys.h"
#include "modal.h"
#include "settings_page.h"

namespace Emu {

namespace {

Lumaret::Input* EngineInput() { return ourEngine ? ourEngine->GetInput() : nullptr; }
bool FileRunning() { return ourEngine && ourEngine->IsRunning(); }

}  // namespace

CButtonDlg::CButtonDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(ControlName(kTemplate));
    setWindowTitle(QStringLiteral("Button Assignment"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("Press the button to assign to this control or choose Cancel..."), this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(ControlName(kCancel));
    // Keys are all captured, so the button is for the mouse only.
    cancel->setFocusPolicy(Qt::NoFocus);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &CButtonDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    qApp->installEventFilter(this);
    if (Lumaret::Input* input = EngineInput(); input && !FileRunning()) input->Open();
}

CButtonDlg::~CButtonDlg() { ReleaseInput(); }

int CButtonDlg::DoModal() { return RunModal(*this); }

void CButtonDlg::OnKeyDown(int key) {
    if (key == 0 || key == Lumaret::Vk::LWin || result() == Accepted) return;
    key_ = key;
    ReleaseInput();
    accept();
}

void CButtonDlg::reject() {
    ReleaseInput();
    QDialog::reject();
}

bool CButtonDlg::IsOwnWidget(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && widget->window() == this;
}

// Key events reach the focused widget's own handling (focus moves, default
// and cancel buttons) only after the application's filters, so catching them
// here leaves every key to the capture.
bool CButtonDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QDialog::eventFilter(watched, event);
    if (!IsOwnWidget(watched)) return QDialog::eventFilter(watched, event);
    if (type == QEvent::ShortcutOverride) {
        // Accepted, the key is delivered as a key press instead of a shortcut.
        event->accept();
        return true;
    }
    Lumaret::KeyMessage message;
    if (Lumaret::TranslateKeyEvent(event, &message) && message.message == Lumaret::kKeyDownMessage)
        OnKeyDown(message.key);
    return true;
}

void CButtonDlg::ReleaseInput() {
    if (inputReleased_) return;
    inputReleased_ = true;
    Lumaret::Input* input = EngineInput();
    if (!input) return;
    input->Pause();
    if (!FileRunning()) input->Close();
}

}  // namespace Emu

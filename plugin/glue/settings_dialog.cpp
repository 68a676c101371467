// settings_dialog.cpp - the plug-in's settings dialog: placement, pages, reset,
// and saving on OK.
#include "settings_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "engine/engine.h"
#include "engine/pages/control_page.h"
#include "engine/pages/modal.h"
#include "engine/pages/skin_page.h"
#include "engine/pages/sound_page.h"
#include "engine/pages/speed_page.h"
#include "gba_machine.h"

namespace {

const wchar_t kResetQuestion[] =
    L"This will reset all of your settings to their default state, are you sure you wish to continue?";

// The engine's desktop rectangle below the tool bar, relative to the top-left
// corner of the available area of the screen `parent` is on.
void PlaceBelowToolBar(QDialog* dialog, QWidget* parent) {
    if (!Emu::ourEngine) return;
    PropertyMap& settings = Emu::ourEngine->GetSettings();
    const int toolBar = settings.getInt(L"ToolBarSize");
    const int width = settings.getInt(L"DesktopWidth");
    const int height = settings.getInt(L"DesktopHeight") - 2 * toolBar;
    if (width <= 0 || height <= 0) return;
    QScreen* screen = parent ? parent->screen() : dialog->screen();
    const QPoint origin = screen ? screen->availableGeometry().topLeft() : QPoint();
    dialog->setGeometry(origin.x(), origin.y() + toolBar, width, height);
}

}  // namespace

GbaSettingsDialog::GbaSettingsDialog(GbaMachine* machine, QWidget* parent) : QDialog(parent), machine_(machine) {
    setWindowTitle(QString::fromStdWString((machine->GetName() + CString(L" Settings")).Text()));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    sound_ = new Emu::CSoundPage(machine, tabs_);
    speed_ = new Emu::CSpeedPage(machine, tabs_);
    control_ = new Emu::CControlPage(machine, tabs_);
    skin_ = new Emu::CSkinPage(machine, tabs_);
    tabs_->addTab(sound_, QStringLiteral("Sound"));
    tabs_->addTab(speed_, QStringLiteral("Speed"));
    tabs_->addTab(control_, QStringLiteral("Controls"));
    tabs_->addTab(skin_, QStringLiteral("Skin"));
    tabs_->setCurrentIndex(kSoundTab);
    control_->ShowControls(true);

    auto* reset = new QPushButton(QStringLiteral("Reset"), this);
    reset->setObjectName(QStringLiteral("reset"));
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, &GbaSettingsDialog::OnReset);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &GbaSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GbaSettingsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(reset);
    bottom->addStretch();
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    PlaceBelowToolBar(this, parent);
}

int GbaSettingsDialog::DoModal() { return Emu::RunModal(*this); }

void GbaSettingsDialog::OnReset() {
    if (!Emu::AskYesNo(this, kResetQuestion)) return;
    machine_->ResetSettings();
    speed_->LoadData();
    control_->LoadData();
    skin_->LoadData();
    sound_->LoadData();
}

void GbaSettingsDialog::accept() {
    control_->SaveData();
    skin_->SaveData();
    sound_->SaveData();
    speed_->SaveData();
    machine_->TakeFrameSkip();
    QDialog::accept();
}

void GbaSettingsDialog::reject() {
    machine_->LoadPad();
    QDialog::reject();
}

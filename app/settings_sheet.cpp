// settings_sheet.cpp - the global settings dialog.
#include "app/settings_sheet.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/command_ids.h"
#include "app/engine_guard.h"
#include "app/modal.h"
#include "app/settings_pages.h"
#include "app/themes_page.h"
#include "engine/engine.h"

namespace App {

CSettingsSheet::CSettingsSheet(Emu::Engine& engine, QWidget* parent) : QDialog(parent), engine_(engine) {
    setWindowTitle(QStringLiteral("Global Settings"));
    tabs_ = new QTabWidget(this);
    tabs_->setProperty(kControlIdProperty, 1000);
    video_ = new CVideoPage(engine, tabs_);
    sound_ = new CSoundPage(engine, tabs_);
    controls_ = new CControlsPage(engine, tabs_);
    tweak_ = new CTweakPage(engine, tabs_);
    themes_ = new CThemesPage(engine, tabs_);
    console_ = new CConsolePage(engine, tabs_);
    tabs_->addTab(video_, QStringLiteral("Video"));
    tabs_->addTab(sound_, QStringLiteral("Sound"));
    tabs_->addTab(controls_, QStringLiteral("Controls"));
    tabs_->addTab(tweak_, QStringLiteral("Tweak"));
    tabs_->addTab(themes_, QStringLiteral("Themes"));
    tabs_->addTab(console_, QStringLiteral("Console"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setProperty(kControlIdProperty, 1);
    buttons->button(QDialogButtonBox::Cancel)->setProperty(kControlIdProperty, 2);
    QPushButton* reset = buttons->addButton(QStringLiteral("Default"), QDialogButtonBox::ResetRole);
    reset->setProperty(kControlIdProperty, 1032);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsSheet::reject);
    connect(reset, &QPushButton::clicked, this, [this] { RunGuarded([this] { OnDefault(); }); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);

    for (CSettingsPage* page :
         std::initializer_list<CSettingsPage*>{video_, sound_, controls_, tweak_, themes_, console_})
        page->LoadData();

    // Placed like the windowed frame, one command bar's height lower.
    const PropertyMap& settings = engine.GetSettings();
    const QScreen* display = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect available = display ? display->availableGeometry() : QRect(0, 0, 640, 480);
    const int toolBar = settings.getInt(L"ToolBarSize");
    const int width = settings.getInt(L"DesktopWidth") > 0 ? settings.getInt(L"DesktopWidth") : available.width();
    const int height = settings.getInt(L"DesktopHeight") > 0 ? settings.getInt(L"DesktopHeight") : available.height();
    setGeometry(available.x(), available.y() + toolBar, width, height - 2 * toolBar);
}

void CSettingsSheet::accept() {
    for (CSettingsPage* page : std::initializer_list<CSettingsPage*>{themes_, controls_, sound_, tweak_, video_})
        page->SaveData();
    QDialog::accept();
}

void CSettingsSheet::OnDefault() {
    if (!Modal().ask(this, QStringLiteral("This will reset all of your settings to their default state, are you "
                                          "sure you wish to continue?")))
        return;
    engine_.ResetSettings();
    for (CSettingsPage* page : std::initializer_list<CSettingsPage*>{video_, themes_, controls_, sound_, tweak_})
        page->LoadData();
}

}  // namespace App

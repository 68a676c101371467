// settings_pages.cpp - the Video, Sound, Controls, Tweak and Console pages.
#include "app/settings_pages.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include "app/command_ids.h"
#include "app/qt_text.h"
#include "engine/engine.h"
#include "lumaret/input.h"
#include "lumaret/wince.h"

namespace App {

CSettingsPage::CSettingsPage(Emu::Engine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
    auto* layout = new QVBoxLayout(this);
    layout->setAlignment(Qt::AlignTop);
}

void CSettingsPage::LoadData() {
    PropertyMap& settings = engine_.GetSettings();
    for (auto& [check, setting] : checks_) check->setChecked(settings.getBoolean(setting));
    for (auto& [slider, setting] : sliders_) slider->setValue(settings.getInt(setting));
}

void CSettingsPage::SaveData() {
    PropertyMap& settings = engine_.GetSettings();
    for (auto& [check, setting] : checks_) settings.set(setting, check->isChecked());
    for (auto& [slider, setting] : sliders_) settings.set(setting, slider->value());
}

QCheckBox* CSettingsPage::AddCheck(int id, const QString& text, const wchar_t* setting) {
    auto* check = new QCheckBox(text, this);
    check->setProperty(kControlIdProperty, id);
    layout()->addWidget(check);
    checks_.emplace_back(check, setting);
    return check;
}

QSlider* CSettingsPage::AddSlider(int id, const QString& label, int minimum, int maximum, int tick,
                                  const wchar_t* setting) {
    layout()->addWidget(new QLabel(label, this));
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setProperty(kControlIdProperty, id);
    slider->setRange(minimum, maximum);
    slider->setTickInterval(tick);
    slider->setTickPosition(QSlider::TicksBelow);
    layout()->addWidget(slider);
    sliders_.emplace_back(slider, setting);
    return slider;
}

QLabel* CSettingsPage::AddLabel(int id, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setProperty(kControlIdProperty, id);
    layout()->addWidget(label);
    return label;
}

CVideoPage::CVideoPage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    AddLabel(1060, Lumaret::WinCE::System::IsDirectDraw() ? QStringLiteral("Direct Draw: Enabled")
                                                          : QStringLiteral("Direct Draw: Disabled"));
    AddCheck(1038, QStringLiteral("Fit to Window"), L"FitToWindow");
    AddCheck(1061, QStringLiteral("2x Width for HPC"), L"DoubleWidth");
    AddCheck(kSharpScaleId, QStringLiteral("Sharp Scaling"), L"SharpScale");
}

CSoundPage::CSoundPage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    AddCheck(1035, QStringLiteral("Enable Sound"), L"Sound");
    AddSlider(1036, QStringLiteral("Volume (Low->High):"), 0, 100, 10, L"Volume");
    AddSlider(1037, QStringLiteral("Sound Buffers:"), 2, 40, 2, L"SoundBuffers");
}

CControlsPage::CControlsPage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    AddCheck(1034, QStringLiteral("Use Virtual Pad in Full Screen"), L"VirtualPad");
    AddCheck(1035, QStringLiteral("Use Double Input Capture"), L"DoubleInputCapture");
}

void CControlsPage::SaveData() {
    CSettingsPage::SaveData();
    if (Lumaret::Input* input = engine_.GetInput())
        input->SetDoubleCapture(engine_.GetSettings().getBoolean(L"DoubleInputCapture"));
}

CTweakPage::CTweakPage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    AddCheck(1051, QStringLiteral("Auto Pause"), L"AutoPause");
    AddCheck(1053, QStringLiteral("Disable Full Screen"), L"NoFullScreen");
    AddCheck(1050, QStringLiteral("Debug Statistics"), L"Debug");
    AddLabel(1058, QString::fromStdWString(Lumaret::WinCE::System::GetMachineName()));
    // The window draws through Qt's painter; there is no frame-buffer address to show.
    AddLabel(1059, QString());
}

CConsolePage::CConsolePage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    text_ = new QPlainTextEdit(this);
    text_->setProperty(kControlIdProperty, 1052);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout()->addWidget(text_);
}

void CConsolePage::LoadData() {
    QString console = ToQt(engine_.GetConsole());
    console.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(console);
    ScrollToEnd();
}

void CConsolePage::showEvent(QShowEvent* event) {
    CSettingsPage::showEvent(event);
    ScrollToEnd();
}

void CConsolePage::ScrollToEnd() { text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum()); }

}  // namespace App

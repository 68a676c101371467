// settings_pages.cpp - the Video, Sound, Controls, Tweak and Console pages.
#include "app/settings_pages.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include "app/command_ids.h"
#include "engine/engine.h"
#include "lumaret/input.h"
#include "lumaret/wince.h"

namespace App {

namespace {

QString ToQt(const CString& text) { return QString::fromStdWString(text.Text()); }

}  // namespace

CSettingsPage::CSettingsPage(Emu::Engine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
    auto* layout = new QVBoxLayout(this);
    layout->setAlignment(Qt::AlignTop);
}

QCheckBox* CSettingsPage::AddCheck(int id, const QString& text) {
    auto* check = new QCheckBox(text, this);
    check->setProperty(kControlIdProperty, id);
    layout()->addWidget(check);
    return check;
}

QSlider* CSettingsPage::AddSlider(int id, const QString& label, int minimum, int maximum, int tick) {
    layout()->addWidget(new QLabel(label, this));
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setProperty(kControlIdProperty, id);
    slider->setRange(minimum, maximum);
    slider->setTickInterval(tick);
    slider->setTickPosition(QSlider::TicksBelow);
    layout()->addWidget(slider);
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
    fitToWindow_ = AddCheck(1038, QStringLiteral("Fit to Window"));
    doubleWidth_ = AddCheck(1061, QStringLiteral("2x Width for HPC"));
}

void CVideoPage::LoadData() {
    PropertyMap& settings = engine_.GetSettings();
    fitToWindow_->setChecked(settings.getBoolean(L"FitToWindow"));
    doubleWidth_->setChecked(settings.getBoolean(L"DoubleWidth"));
}

void CVideoPage::SaveData() {
    PropertyMap& settings = engine_.GetSettings();
    settings.set(L"FitToWindow", fitToWindow_->isChecked());
    settings.set(L"DoubleWidth", doubleWidth_->isChecked());
}

CSoundPage::CSoundPage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    sound_ = AddCheck(1035, QStringLiteral("Enable Sound"));
    volume_ = AddSlider(1036, QStringLiteral("Volume (Low->High):"), 0, 100, 10);
    buffers_ = AddSlider(1037, QStringLiteral("Sound Buffers:"), 2, 40, 2);
}

void CSoundPage::LoadData() {
    PropertyMap& settings = engine_.GetSettings();
    sound_->setChecked(settings.getBoolean(L"Sound"));
    volume_->setValue(settings.getInt(L"Volume"));
    buffers_->setValue(settings.getInt(L"SoundBuffers"));
}

void CSoundPage::SaveData() {
    PropertyMap& settings = engine_.GetSettings();
    settings.set(L"Sound", sound_->isChecked());
    settings.set(L"Volume", volume_->value());
    settings.set(L"SoundBuffers", buffers_->value());
}

CControlsPage::CControlsPage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    virtualPad_ = AddCheck(1034, QStringLiteral("Use Virtual Pad in Full Screen"));
    doubleCapture_ = AddCheck(1035, QStringLiteral("Use Double Input Capture"));
}

void CControlsPage::LoadData() {
    PropertyMap& settings = engine_.GetSettings();
    virtualPad_->setChecked(settings.getBoolean(L"VirtualPad"));
    doubleCapture_->setChecked(settings.getBoolean(L"DoubleInputCapture"));
}

void CControlsPage::SaveData() {
    PropertyMap& settings = engine_.GetSettings();
    settings.set(L"VirtualPad", virtualPad_->isChecked());
    settings.set(L"DoubleInputCapture", doubleCapture_->isChecked());
    if (Lumaret::Input* input = engine_.GetInput()) input->SetDoubleCapture(doubleCapture_->isChecked());
}

CTweakPage::CTweakPage(Emu::Engine& engine, QWidget* parent) : CSettingsPage(engine, parent) {
    autoPause_ = AddCheck(1051, QStringLiteral("Auto Pause"));
    noFullScreen_ = AddCheck(1053, QStringLiteral("Disable Full Screen"));
    debug_ = AddCheck(1050, QStringLiteral("Debug Statistics"));
    AddLabel(1058, QString::fromStdWString(Lumaret::WinCE::System::GetMachineName()));
    // The window draws through Qt's painter; there is no frame-buffer address to show.
    AddLabel(1059, QString());
}

void CTweakPage::LoadData() {
    PropertyMap& settings = engine_.GetSettings();
    autoPause_->setChecked(settings.getBoolean(L"AutoPause"));
    noFullScreen_->setChecked(settings.getBoolean(L"NoFullScreen"));
    debug_->setChecked(settings.getBoolean(L"Debug"));
}

void CTweakPage::SaveData() {
    PropertyMap& settings = engine_.GetSettings();
    settings.set(L"AutoPause", autoPause_->isChecked());
    settings.set(L"NoFullScreen", noFullScreen_->isChecked());
    settings.set(L"Debug", debug_->isChecked());
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

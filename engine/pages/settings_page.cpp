// settings_page.cpp - the settings pages' common controls and their transfer
// to and from the emulator's settings.
#include "settings_page.h"

#include <QCheckBox>
#include <QSlider>

#include "engine/emulator.h"

namespace Emu {

SettingsPage::SettingsPage(Emulator* emulator, QWidget* parent, int templateId) : QWidget(parent), emulator_(emulator) {
    setObjectName(ControlName(templateId));
}

PropertyMap& SettingsPage::Settings() const { return emulator_->GetSettings(); }

QCheckBox* SettingsPage::NewCheck(int id, const QString& text) {
    auto* check = new QCheckBox(text, this);
    check->setObjectName(ControlName(id));
    return check;
}

QSlider* SettingsPage::NewSlider(int id, int minimum, int maximum) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(ControlName(id));
    slider->setRange(minimum, maximum);
    slider->setTickInterval(1);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

void SettingsPage::LoadCheck(int id, const CString& key) {
    findChild<QCheckBox*>(ControlName(id))->setChecked(Settings().getBoolean(key));
}

void SettingsPage::SaveCheck(int id, const CString& key) {
    Settings().set(key, findChild<QCheckBox*>(ControlName(id))->isChecked());
}

// A value outside the slider's range is shown at the nearer end, and that is
// what SaveData writes back.
void SettingsPage::LoadSlider(int id, const CString& key) {
    findChild<QSlider*>(ControlName(id))->setValue(Settings().getInt(key));
}

void SettingsPage::SaveSlider(int id, const CString& key) {
    Settings().set(key, findChild<QSlider*>(ControlName(id))->value());
}

}  // namespace Emu

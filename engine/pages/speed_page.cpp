// speed_page.cpp - the speed page's controls and their settings.
#include "speed_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "engine/setting_ranges.h"

namespace Emu {

CSpeedPage::CSpeedPage(Emulator* emulator, QWidget* parent) : SettingsPage(emulator, parent, kTemplate) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NewCheck(kFrameSync, QStringLiteral("Auto Video Sync")));
    layout->addWidget(new QLabel(QStringLiteral("Frame Skip (Smoother->Faster):"), this));
    layout->addWidget(NewSlider(kFrameSkip, kFrameSkipRange.low, kFrameSkipRange.high));
    layout->addStretch();
    OnInitDialog();
}

void CSpeedPage::OnInitDialog() { LoadData(); }

void CSpeedPage::LoadData() {
    LoadCheck(kFrameSync, L"FrameSync");
    LoadSlider(kFrameSkip, L"FrameSkip");
}

void CSpeedPage::SaveData() {
    SaveCheck(kFrameSync, L"FrameSync");
    SaveSlider(kFrameSkip, L"FrameSkip");
}

}  // namespace Emu

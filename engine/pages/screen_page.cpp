// screen_page.cpp - the screen page's slider and its setting.
#include "screen_page.h"

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "engine/setting_ranges.h"

namespace Emu {

CScreenPage::CScreenPage(Emulator* emulator, QWidget* parent) : SettingsPage(emulator, parent, kTemplate) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Screen Size:"), this));
    layout->addWidget(NewSlider(kScreenScale, kScreenScaleRange.low, kScreenScaleRange.high));
    layout->addStretch();
    OnInitDialog();
}

void CScreenPage::OnInitDialog() { LoadData(); }

void CScreenPage::LoadData() { LoadSlider(kScreenScale, L"ScreenScale"); }

void CScreenPage::SaveData() { SaveSlider(kScreenScale, L"ScreenScale"); }

}  // namespace Emu

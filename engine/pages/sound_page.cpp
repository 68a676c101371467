// sound_page.cpp - the sound page's controls and their settings.
#include "sound_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "engine/emulator.h"

namespace Emu {

namespace {

constexpr int kChannelCount = 4;

struct Quality {
    const char* text;
    int rate;
};
constexpr Quality kQualities[] = {
    {"Low (11kHz)", 11025},
    {"Medium (22kHz)", 22050},
    {"High (44kHz)", 44100},
};

CString ChannelKey(int channel) { return CString(L"SoundChannel" + std::to_wstring(channel)); }

}  // namespace

CSoundPage::CSoundPage(Emulator* emulator, QWidget* parent) : SettingsPage(emulator, parent, kTemplate) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Master Switch:"), this));
    auto* master = new QHBoxLayout;
    master->addWidget(NewCheck(kEnableSound, QStringLiteral("Enable Sound")));
    master->addWidget(NewCheck(kNoise, QStringLiteral("Noise")));
    master->addStretch();
    layout->addLayout(master);

    layout->addWidget(new QLabel(QStringLiteral("Active Channels:"), this));
    auto* channels = new QHBoxLayout;
    for (int i = 0; i < kChannelCount; ++i) channels->addWidget(NewCheck(kChannel1 + i, QString::number(i + 1)));
    channels->addStretch();
    layout->addLayout(channels);

    layout->addWidget(new QLabel(QStringLiteral("Quality:"), this));
    auto* quality = new QComboBox(this);
    quality->setObjectName(ControlName(kQuality));
    quality->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addWidget(quality, 0, Qt::AlignLeft);
    layout->addStretch();
    OnInitDialog();
}

void CSoundPage::OnInitDialog() {
    auto* quality = findChild<QComboBox*>(ControlName(kQuality));
    for (const Quality& entry : kQualities) quality->addItem(QString::fromLatin1(entry.text), entry.rate);
    LoadData();
}

void CSoundPage::LoadData() {
    LoadCheck(kEnableSound, L"Sound");
    LoadCheck(kNoise, L"Noise");
    for (int i = 0; i < kChannelCount; ++i) LoadCheck(kChannel1 + i, ChannelKey(i));
    auto* quality = findChild<QComboBox*>(ControlName(kQuality));
    quality->setCurrentIndex(quality->findData(Settings().getInt(L"SoundRate")));
}

void CSoundPage::SaveData() {
    SaveCheck(kEnableSound, L"Sound");
    SaveCheck(kNoise, L"Noise");
    for (int i = 0; i < kChannelCount; ++i) SaveCheck(kChannel1 + i, ChannelKey(i));
    auto* quality = findChild<QComboBox*>(ControlName(kQuality));
    if (quality->currentIndex() >= 0) Settings().set(L"SoundRate", quality->currentData().toInt());
}

}  // namespace Emu

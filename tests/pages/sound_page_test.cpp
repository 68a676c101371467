// sound_page_test.cpp - the sound page's check boxes and quality list against
// the emulator's settings.
#include "engine/pages/sound_page.h"

#include <QCheckBox>
#include <QComboBox>

#include "pages_fixture.h"

using Emu::CSoundPage;

namespace {

struct CheckSetting {
    int id;
    const wchar_t* key;
};
constexpr CheckSetting kChecks[] = {
    {CSoundPage::kEnableSound, L"Sound"},          {CSoundPage::kNoise, L"Noise"},
    {CSoundPage::kChannel1, L"SoundChannel0"},     {CSoundPage::kChannel1 + 1, L"SoundChannel1"},
    {CSoundPage::kChannel1 + 2, L"SoundChannel2"}, {CSoundPage::kChannel1 + 3, L"SoundChannel3"},
};

}  // namespace

using SoundPageTest = PagesTest;

TEST_F(SoundPageTest, EachCheckBoxShowsAndSavesItsOwnSetting) {
    for (const CheckSetting& flipped : kChecks) {
        SCOPED_TRACE(testing::Message() << "control " << flipped.id);
        // Every setting the opposite of its neighbours, so a swapped pair shows.
        bool value = true;
        for (const CheckSetting& check : kChecks) Settings().set(check.key, value = !value);
        CSoundPage page(machine_.get(), nullptr);
        for (const CheckSetting& check : kChecks)
            EXPECT_EQ(Control<QCheckBox>(&page, check.id)->isChecked(), Settings().getBoolean(check.key));

        const bool before = Settings().getBoolean(flipped.key);
        Control<QCheckBox>(&page, flipped.id)->click();
        EXPECT_EQ(Settings().getBoolean(flipped.key), before) << "written before SaveData";
        page.SaveData();
        value = true;
        for (const CheckSetting& check : kChecks) {
            value = !value;
            EXPECT_EQ(Settings().getBoolean(check.key), check.id == flipped.id ? !value : value)
                << "setting " << CString(check.key).ToUtf8();
        }
    }
}

TEST_F(SoundPageTest, QualityListOffersTheThreeRatesAndSavesTheChosenOne) {
    CSoundPage page(machine_.get(), nullptr);
    auto* quality = Control<QComboBox>(&page, CSoundPage::kQuality);
    ASSERT_EQ(quality->count(), 3);
    EXPECT_EQ(quality->itemText(0), "Low (11kHz)");
    EXPECT_EQ(quality->itemText(1), "Medium (22kHz)");
    EXPECT_EQ(quality->itemText(2), "High (44kHz)");

    const int rates[] = {11025, 22050, 44100};
    for (int i = 0; i < 3; ++i) {
        Settings().set(L"SoundRate", rates[(i + 1) % 3]);
        page.LoadData();
        EXPECT_EQ(quality->currentIndex(), (i + 1) % 3);
        quality->setCurrentIndex(i);
        page.SaveData();
        EXPECT_EQ(Settings().getInt(L"SoundRate"), rates[i]);
    }
}

TEST_F(SoundPageTest, UnlistedRateSelectsNothingAndIsKept) {
    Settings().set(L"SoundRate", 8000);
    CSoundPage page(machine_.get(), nullptr);
    EXPECT_EQ(Control<QComboBox>(&page, CSoundPage::kQuality)->currentIndex(), -1);
    page.SaveData();
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 8000);
}

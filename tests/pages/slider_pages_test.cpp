// slider_pages_test.cpp - the speed and screen pages: the sliders' ranges and
// ticks, and the settings they and the sync check box write.
#include <QCheckBox>
#include <QSlider>
#include <QtTest/QTest>

#include "engine/pages/screen_page.h"
#include "engine/pages/speed_page.h"
#include "pages_fixture.h"

using Emu::CScreenPage;
using Emu::CSpeedPage;

using SliderPagesTest = PagesTest;

namespace {

void ExpectScale(QSlider* slider, int minimum, int maximum) {
    EXPECT_EQ(slider->minimum(), minimum);
    EXPECT_EQ(slider->maximum(), maximum);
    EXPECT_EQ(slider->tickInterval(), 1);
    EXPECT_NE(slider->tickPosition(), QSlider::NoTicks);
}

}  // namespace

TEST_F(SliderPagesTest, SpeedPageEditsSyncAndFrameSkip) {
    Settings().set(L"FrameSkip", 4);
    Settings().set(L"FrameSync", false);
    CSpeedPage page(machine_.get(), nullptr);
    auto* skip = Control<QSlider>(&page, CSpeedPage::kFrameSkip);
    auto* sync = Control<QCheckBox>(&page, CSpeedPage::kFrameSync);
    ExpectScale(skip, 1, 10);
    EXPECT_EQ(skip->value(), 4);
    EXPECT_FALSE(sync->isChecked());

    sync->click();
    QTest::keyClick(skip, Qt::Key_End);
    page.SaveData();
    EXPECT_EQ(Settings().getInt(L"FrameSkip"), 10);
    EXPECT_TRUE(Settings().getBoolean(L"FrameSync"));
    QTest::keyClick(skip, Qt::Key_Home);
    QTest::keyClick(skip, Qt::Key_Right);
    page.SaveData();
    EXPECT_EQ(Settings().getInt(L"FrameSkip"), 2);
}

TEST_F(SliderPagesTest, FrameSkipOutsideTheRangeIsSavedAtTheNearerEnd) {
    for (auto [stored, saved] : {std::pair{0, 1}, {-5, 1}, {25, 10}}) {
        Settings().set(L"FrameSkip", stored);
        CSpeedPage page(machine_.get(), nullptr);
        page.SaveData();
        EXPECT_EQ(Settings().getInt(L"FrameSkip"), saved) << "stored " << stored;
    }
}

TEST_F(SliderPagesTest, ScreenPageEditsTheScale) {
    Settings().set(L"ScreenScale", 3);
    CScreenPage page(machine_.get(), nullptr);
    auto* scale = Control<QSlider>(&page, CScreenPage::kScreenScale);
    ExpectScale(scale, 0, 10);
    EXPECT_EQ(scale->value(), 3);
    QTest::keyClick(scale, Qt::Key_Home);
    page.SaveData();
    EXPECT_EQ(Settings().getInt(L"ScreenScale"), 0);
    QTest::keyClick(scale, Qt::Key_End);
    page.SaveData();
    EXPECT_EQ(Settings().getInt(L"ScreenScale"), 10);
    Settings().set(L"ScreenScale", 7);
    page.LoadData();
    EXPECT_EQ(scale->value(), 7);
}

// skin_page_test.cpp - the skin page: stepping through every skin with
// wrap-around, the identifier it saves and the preview of the visible half.
#include "engine/pages/skin_page.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

#include "engine/pad_skin.h"
#include "pages_fixture.h"

using Emu::CSkinPage;
using Emu::PadSkin;

namespace {

class SkinPageTest : public PagesTest {
protected:
    QString ShownName(CSkinPage& page) { return Control<QLabel>(&page, CSkinPage::kSkinName)->text(); }
    void Click(CSkinPage& page, int id) { QTest::mouseClick(Control<QPushButton>(&page, id), Qt::LeftButton); }
};

}  // namespace

TEST_F(SkinPageTest, NextAndPreviousWrapOverSkinsOfEveryType) {
    ASSERT_EQ(PadSkin::GetSkinCount(), 3) << "the built-in skin and the two test skins";
    CSkinPage page(machine_.get(), nullptr);
    EXPECT_EQ(ShownName(page), "Tamboril Default");
    Click(page, CSkinPage::kNext);
    EXPECT_EQ(ShownName(page), "Blue Test Pad");
    Click(page, CSkinPage::kNext);
    EXPECT_EQ(ShownName(page), "Red Test Pad");
    Click(page, CSkinPage::kNext);
    EXPECT_EQ(ShownName(page), "Tamboril Default");
    Click(page, CSkinPage::kPrevious);
    EXPECT_EQ(ShownName(page), "Red Test Pad");
    EXPECT_EQ(PadSkin::GetActiveSkin()->GetID(), CString(kRedSkin));
    Click(page, CSkinPage::kPrevious);
    EXPECT_EQ(ShownName(page), "Blue Test Pad");
}

TEST_F(SkinPageTest, SavesTheActiveSkinsIdentifierOnlyOnSaveData) {
    CSkinPage page(machine_.get(), nullptr);
    Click(page, CSkinPage::kPrevious);
    EXPECT_EQ(Settings().getString(L"PadSkin"), CString(L"GB|Tamboril Default"));
    page.SaveData();
    EXPECT_EQ(Settings().getString(L"PadSkin"), CString(kRedSkin));
}

TEST_F(SkinPageTest, LoadDataMakesTheSettingsSkinActive) {
    Settings().set(L"PadSkin", kBlueSkin);
    CSkinPage page(machine_.get(), nullptr);
    EXPECT_EQ(ShownName(page), "Blue Test Pad");
    Settings().set(L"PadSkin", L"GB|No Such Pad");
    page.LoadData();
    EXPECT_EQ(ShownName(page), "Tamboril Default");
    // Steps on from the built-in skin the unknown name fell back to.
    Click(page, CSkinPage::kNext);
    EXPECT_EQ(ShownName(page), "Blue Test Pad");
}

TEST_F(SkinPageTest, PreviewShowsTheVisibleHalfOfTheImage) {
    Settings().set(L"PadSkin", kBlueSkin);
    CSkinPage page(machine_.get(), nullptr);
    page.resize(240, 240);
    page.show();
    QWidget* preview = page.findChild<QWidget*>("preview");
    ASSERT_NE(preview, nullptr);
    const QImage shot = preview->grab().toImage();
    const QColor centre = shot.pixelColor(shot.width() / 2, shot.height() / 2);
    // The upper half is (40, 80, 200), the hit map pure blue; RGB565 keeps the
    // top bits of each.
    EXPECT_NEAR(centre.red(), 40, 8);
    EXPECT_NEAR(centre.green(), 80, 4);
    EXPECT_NEAR(centre.blue(), 200, 8);
}

// settings_dialog_test.cpp - the plug-in's settings dialog: its tabs and
// placement, page switching, the reset question, OK and Cancel.
#include "glue/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest/QTest>

#include "engine/pad_skin.h"
#include "engine/pages/button_dlg.h"
#include "engine/pages/control_page.h"
#include "engine/pages/skin_page.h"
#include "engine/pages/sound_page.h"
#include "engine/pages/speed_page.h"
#include "lumaret/input.h"
#include "machine/scanline.h"
#include "pages_fixture.h"

using Emu::CControlPage;
using Emu::CSkinPage;
using Emu::CSoundPage;
using Emu::CSpeedPage;

namespace {

class SettingsDialogTest : public PagesTest {
protected:
    void SetUp() override {
        PagesTest::SetUp();
        // The reset question is answered with `answer_` and remembered; a
        // capture dialog is answered with the key `captureKey_`.
        onModal_ = [this](QDialog& dialog) {
            if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
                questions_.push_back(box->text());
                EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
                return int(answer_);
            }
            auto* capture = qobject_cast<Emu::CButtonDlg*>(&dialog);
            EXPECT_NE(capture, nullptr);
            if (!capture) return 0;
            QTest::keyClick(capture, captureKey_);
            return capture->result();
        };
        dialog_ = std::make_unique<GbaSettingsDialog>(machine_.get(), view.get());
        tabs_ = dialog_->findChild<QTabWidget*>("tabs");
        ASSERT_NE(tabs_, nullptr);
    }
    void TearDown() override {
        dialog_.reset();
        PagesTest::TearDown();
    }

    template <class Page>
    Page* PageOf() {
        Page* page = dialog_->findChild<Page*>();
        EXPECT_NE(page, nullptr);
        return page;
    }
    QPushButton* Button(QDialogButtonBox::StandardButton which) {
        return dialog_->findChild<QDialogButtonBox*>("buttons")->button(which);
    }
    void ClickReset() { QTest::mouseClick(dialog_->findChild<QPushButton*>("reset"), Qt::LeftButton); }

    // Changes a control on every page.
    void EditEveryPage() {
        Control<QCheckBox>(PageOf<CSoundPage>(), CSoundPage::kNoise)->click();
        Control<QComboBox>(PageOf<CSoundPage>(), CSoundPage::kQuality)->setCurrentIndex(2);
        Control<QSlider>(PageOf<CSpeedPage>(), CSpeedPage::kFrameSkip)->setValue(7);
        QTest::mouseClick(Control<QPushButton>(PageOf<CControlPage>(), CControlPage::RecordButtonId(CControlPage::kA)),
                          Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(PageOf<CSkinPage>(), CSkinPage::kNext), Qt::LeftButton);
    }

    std::unique_ptr<GbaSettingsDialog> dialog_;
    QTabWidget* tabs_ = nullptr;
    QMessageBox::StandardButton answer_ = QMessageBox::No;
    Qt::Key captureKey_ = Qt::Key_K;
    std::vector<QString> questions_;
};

}  // namespace

TEST_F(SettingsDialogTest, HasTheFourPagesOnTabsInOrderWithSoundFirst) {
    ASSERT_EQ(tabs_->count(), 4);
    EXPECT_EQ(tabs_->tabText(0), "Sound");
    EXPECT_EQ(tabs_->tabText(1), "Speed");
    EXPECT_EQ(tabs_->tabText(2), "Controls");
    EXPECT_EQ(tabs_->tabText(3), "Skin");
    EXPECT_NE(qobject_cast<CSoundPage*>(tabs_->widget(0)), nullptr);
    EXPECT_NE(qobject_cast<CSpeedPage*>(tabs_->widget(1)), nullptr);
    EXPECT_NE(qobject_cast<CControlPage*>(tabs_->widget(2)), nullptr);
    EXPECT_NE(qobject_cast<CSkinPage*>(tabs_->widget(3)), nullptr);
    EXPECT_EQ(tabs_->currentIndex(), 0);
}

TEST_F(SettingsDialogTest, IsPlacedBelowTheToolBarOverTheDesktop) {
    const QPoint origin = view->screen()->availableGeometry().topLeft();
    EXPECT_EQ(dialog_->geometry(), QRect(origin.x(), origin.y() + 24, 640, 480 - 48));
    EXPECT_EQ(dialog_->parentWidget(), view.get());
}

TEST_F(SettingsDialogTest, SelectingATabShowsOnlyItsPage) {
    dialog_->show();
    for (int tab : {2, 1, 3, 0}) {
        QTabBar* bar = tabs_->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        for (int i = 0; i < tabs_->count(); ++i) EXPECT_EQ(tabs_->widget(i)->isVisible(), i == tab) << tab;
    }
    // L and R are offered.
    auto* control = PageOf<CControlPage>();
    EXPECT_TRUE(Control<QPushButton>(control, CControlPage::RecordButtonId(CControlPage::kR))->isVisibleTo(control));
}

TEST_F(SettingsDialogTest, ResetAnsweredNoChangesNothing) {
    Settings().set(L"FrameSkip", 8);
    Settings().set(L"SoundRate", 44100);
    PageOf<CSpeedPage>()->LoadData();
    answer_ = QMessageBox::No;
    ClickReset();
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0],
              "This will reset all of your settings to their default state, are you sure you wish to continue?");
    EXPECT_EQ(Settings().getInt(L"FrameSkip"), 8);
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 44100);
    EXPECT_EQ(Control<QSlider>(PageOf<CSpeedPage>(), CSpeedPage::kFrameSkip)->value(), 8);
}

TEST_F(SettingsDialogTest, ResetAnsweredYesRestoresDefaultsAndReloadsEveryPage) {
    Settings().set(L"FrameSkip", 8);
    Settings().set(L"SoundRate", 44100);
    Settings().set(L"Noise", true);
    Settings().set(L"PadSkin", kRedSkin);
    Lumaret::KeyList keys = machine_->GetKeyList();
    keys.keys[CControlPage::kA] = 'Q';
    machine_->SetKeyList(keys);
    machine_->LoadPad();
    for (auto* page : dialog_->findChildren<Emu::SettingsPage*>()) page->LoadData();

    answer_ = QMessageBox::Yes;
    ClickReset();
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(Settings().getInt(L"FrameSkip"), 1);
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 22050);
    EXPECT_EQ(Control<QSlider>(PageOf<CSpeedPage>(), CSpeedPage::kFrameSkip)->value(), 1);
    EXPECT_EQ(Control<QComboBox>(PageOf<CSoundPage>(), CSoundPage::kQuality)->currentIndex(), 1);
    EXPECT_FALSE(Control<QCheckBox>(PageOf<CSoundPage>(), CSoundPage::kNoise)->isChecked());
    EXPECT_EQ(Control<QLabel>(PageOf<CSkinPage>(), CSkinPage::kSkinName)->text(), "Tamboril Default");
    const int defaultA = engine->GetInput()->GetDefaultKeys()->keys[CControlPage::kA];
    EXPECT_EQ(PageOf<CControlPage>()->GetWorkingKeys().keys[CControlPage::kA], defaultA);
}

TEST_F(SettingsDialogTest, OkSavesEveryPageAndHandsTheFrameSkipToTheMachine) {
    FrameSkip = 3;
    EditEveryPage();
    EXPECT_FALSE(Settings().getBoolean(L"Noise")) << "written before OK";
    QTest::mouseClick(Button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_TRUE(Settings().getBoolean(L"Noise"));
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 44100);
    EXPECT_EQ(Settings().getInt(L"FrameSkip"), 7);
    EXPECT_EQ(FrameSkip, 7);
    EXPECT_EQ(machine_->GetKeyList().keys[CControlPage::kA], 'K');
    EXPECT_EQ(Settings().getString(L"PadSkin"), CString(kBlueSkin));
    EXPECT_EQ(Emu::PadSkin::GetActiveSkin()->GetID(), CString(kBlueSkin));
}

TEST_F(SettingsDialogTest, CancelKeepsEverySettingAndTheSavedSkin) {
    FrameSkip = 3;
    const Lumaret::KeyList keys = machine_->GetKeyList();
    EditEveryPage();
    EXPECT_EQ(Emu::PadSkin::GetActiveSkin()->GetID(), CString(kBlueSkin)) << "the page shows the next skin";
    QTest::mouseClick(Button(QDialogButtonBox::Cancel), Qt::LeftButton);
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    EXPECT_FALSE(Settings().getBoolean(L"Noise"));
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 22050);
    EXPECT_EQ(Settings().getInt(L"FrameSkip"), 1);
    EXPECT_EQ(FrameSkip, 3);
    EXPECT_EQ(0, memcmp(&machine_->GetKeyList(), &keys, sizeof keys));
    EXPECT_EQ(Settings().getString(L"PadSkin"), CString(L"GB|Tamboril Default"));
    EXPECT_EQ(Emu::PadSkin::GetActiveSkin()->GetID(), CString(L"GB|Tamboril Default"));
}

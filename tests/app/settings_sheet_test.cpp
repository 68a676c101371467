// settings_sheet_test.cpp - the global settings sheet: its pages and
// controls, OK, Cancel, Default, the Themes page and the Console tab.
#include "app/settings_sheet.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>

#include "app/command_ids.h"
#include "app/settings_pages.h"
#include "app/themes_page.h"
#include "app_fixture.h"
#include "engine/registry.h"
#include "lumaret/input.h"

using namespace App;

namespace {

template <typename T>
T* Control(QWidget* page, int id) {
    for (T* widget : page->findChildren<T*>())
        if (widget->property(kControlIdProperty).toInt() == id) return widget;
    return nullptr;
}

}  // namespace

class SettingsSheetTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        CreateFrame();
        sheet_ = std::make_unique<CSettingsSheet>(Engine(), frame_.get());
        tabs_ = sheet_->GetTabs();
    }
    void TearDown() override {
        sheet_.reset();
        AppTest::TearDown();
    }
    QWidget* Page(const char* title) {
        for (int i = 0; i < tabs_->count(); ++i)
            if (tabs_->tabText(i) == QLatin1String(title)) return tabs_->widget(i);
        return nullptr;
    }

    std::unique_ptr<CSettingsSheet> sheet_;
    QTabWidget* tabs_ = nullptr;
};

TEST_F(SettingsSheetTest, HasSixTabsWithTheirControlsTextsRangesAndTicks) {
    QStringList titles;
    for (int i = 0; i < tabs_->count(); ++i) titles << tabs_->tabText(i);
    EXPECT_EQ(titles, QStringList({"Video", "Sound", "Controls", "Tweak", "Themes", "Console"}));
    EXPECT_EQ(tabs_->property(kControlIdProperty).toInt(), 1000);

    const struct {
        const char* page;
        int id;
        const char* text;
    } checks[] = {
        {"Video", 1038, "Fit to Window"},
        {"Video", 1061, "2x Width for HPC"},
        {"Sound", 1035, "Enable Sound"},
        {"Controls", 1034, "Use Virtual Pad in Full Screen"},
        {"Controls", 1035, "Use Double Input Capture"},
        {"Tweak", 1051, "Auto Pause"},
        {"Tweak", 1053, "Disable Full Screen"},
        {"Tweak", 1050, "Debug Statistics"},
    };
    for (const auto& check : checks) {
        QCheckBox* box = Control<QCheckBox>(Page(check.page), check.id);
        ASSERT_NE(box, nullptr) << check.page << " " << check.id;
        EXPECT_EQ(box->text(), QLatin1String(check.text));
    }
    EXPECT_EQ(Control<QLabel>(Page("Video"), 1060)->text(), QStringLiteral("Direct Draw: Disabled"));
    QSlider* volume = Control<QSlider>(Page("Sound"), 1036);
    QSlider* buffers = Control<QSlider>(Page("Sound"), 1037);
    ASSERT_TRUE(volume && buffers);
    EXPECT_EQ(std::make_tuple(volume->minimum(), volume->maximum(), volume->tickInterval()),
              std::make_tuple(0, 100, 10));
    EXPECT_EQ(std::make_tuple(buffers->minimum(), buffers->maximum(), buffers->tickInterval()),
              std::make_tuple(2, 40, 2));
    for (int id : {1005, 1011, 1012}) EXPECT_NE(Control<QPushButton>(Page("Themes"), id), nullptr) << id;
    for (int id : {1008, 1013}) EXPECT_NE(Control<QLabel>(Page("Themes"), id), nullptr) << id;
    for (int id : {1, 2, 1032}) EXPECT_NE(Control<QPushButton>(sheet_.get(), id), nullptr) << id;
    EXPECT_EQ(Control<QPushButton>(sheet_.get(), 1032)->text(), QStringLiteral("Default"));
}

TEST_F(SettingsSheetTest, PagesShowTheSettingsAndOkSavesThem) {
    Settings().set(L"Volume", 30);
    Settings().set(L"AutoPause", true);
    sheet_ = std::make_unique<CSettingsSheet>(Engine(), frame_.get());
    tabs_ = sheet_->GetTabs();
    EXPECT_EQ(Control<QSlider>(Page("Sound"), 1036)->value(), 30);
    EXPECT_TRUE(Control<QCheckBox>(Page("Tweak"), 1051)->isChecked());

    Control<QSlider>(Page("Sound"), 1036)->setValue(80);
    Control<QSlider>(Page("Sound"), 1037)->setValue(8);
    Control<QCheckBox>(Page("Video"), 1038)->setChecked(true);
    Control<QCheckBox>(Page("Controls"), 1035)->setChecked(false);
    Control<QCheckBox>(Page("Tweak"), 1051)->setChecked(false);
    sheet_->accept();
    EXPECT_EQ(Settings().getInt(L"Volume"), 80);
    EXPECT_EQ(Settings().getInt(L"SoundBuffers"), 8);
    EXPECT_TRUE(Settings().getBoolean(L"FitToWindow"));
    EXPECT_FALSE(Settings().getBoolean(L"DoubleInputCapture"));
    EXPECT_FALSE(Engine().GetInput()->IsDoubleCapture());
    EXPECT_FALSE(Settings().getBoolean(L"AutoPause"));
}

TEST_F(SettingsSheetTest, CancelKeepsTheOldValues) {
    Settings().set(L"Volume", 30);
    sheet_ = std::make_unique<CSettingsSheet>(Engine(), frame_.get());
    tabs_ = sheet_->GetTabs();
    Control<QSlider>(Page("Sound"), 1036)->setValue(90);
    sheet_->reject();
    EXPECT_EQ(Settings().getInt(L"Volume"), 30);
}

TEST_F(SettingsSheetTest, DefaultAsksThenResetsAtOnceAndReloadsThePages) {
    Settings().set(L"Volume", 30);
    sheet_ = std::make_unique<CSettingsSheet>(Engine(), frame_.get());
    tabs_ = sheet_->GetTabs();
    answer_ = false;
    sheet_->OnDefault();
    EXPECT_EQ(questions_, QStringList({"This will reset all of your settings to their default state, are you sure "
                                       "you wish to continue?"}));
    EXPECT_EQ(Settings().getInt(L"Volume"), 30);
    answer_ = true;
    sheet_->OnDefault();
    EXPECT_EQ(Settings().getInt(L"Volume"), 10);
    EXPECT_EQ(Control<QSlider>(Page("Sound"), 1036)->value(), 10);
}

TEST_F(SettingsSheetTest, DefaultThenCancelLeavesTheSettingsResetAndSaved) {
    Settings().set(L"Volume", 30);
    Engine().SaveSettings();
    sheet_.reset();
    dialogAnswer_ = [](QDialog& dialog) {
        static_cast<CSettingsSheet&>(dialog).OnDefault();
        return static_cast<int>(QDialog::Rejected);
    };
    popUpChoice_ = QStringLiteral("Global Settings");
    frame_->GetAction(ID_OPTIONS)->trigger();
    EXPECT_EQ(Settings().getInt(L"Volume"), 10);
    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril", false));
    EXPECT_EQ(registry.ReadInt(L"Volume", -1), 10);
}

TEST_F(SettingsSheetTest, ThemesColourButtonSaysItIsNotImplemented) {
    Control<QPushButton>(Page("Themes"), 1005)->click();
    EXPECT_EQ(messages_, std::vector<std::string>({"This feature is not yet implemented."}));
}

TEST_F(SettingsSheetTest, ThemesBrowseTakesAnExistingBitmapAndClearAsksFirst) {
    auto* themes = static_cast<CThemesPage*>(Page("Themes"));
    fileAnswer_ = {true, QStringLiteral("/pictures/sky.bmp"), 0};
    Control<QPushButton>(themes, 1011)->click();
    ASSERT_EQ(fileRequests_.size(), 1u);
    EXPECT_EQ(fileRequests_[0].filters, QStringList({"Bitmap Files (*.bmp *.BMP)", "All Files (*)"}));
    EXPECT_EQ(fileRequests_[0].defaultSuffix, QStringLiteral("bmp"));
    EXPECT_EQ(themes->GetFileName(), QStringLiteral("/pictures/sky.bmp"));

    answer_ = false;
    Control<QPushButton>(themes, 1012)->click();
    EXPECT_EQ(questions_, QStringList({"This will disable the background image, continue?"}));
    EXPECT_EQ(themes->GetFileName(), QStringLiteral("/pictures/sky.bmp"));
    answer_ = true;
    Control<QPushButton>(themes, 1012)->click();
    EXPECT_TRUE(themes->GetFileName().isEmpty());
    sheet_->accept();
    EXPECT_TRUE(Settings().getString(L"BGFileName").IsEmpty());
}

TEST_F(SettingsSheetTest, ClearingWithoutABackgroundAsksNothing) {
    auto* themes = static_cast<CThemesPage*>(Page("Themes"));
    fileAnswer_ = {true, QString(), 0};
    Control<QPushButton>(themes, 1011)->click();
    questions_.clear();
    Control<QPushButton>(themes, 1012)->click();
    EXPECT_TRUE(questions_.isEmpty());
}

TEST_F(SettingsSheetTest, ConsoleTabShowsTheConsoleTextReadOnlyAtItsEnd) {
    Engine().ResetConsole();
    CString text;
    for (int i = 0; i < 200; ++i) text += CString(L"line\n");
    Engine().PrintConsole(text + L"last line\n");
    sheet_ = std::make_unique<CSettingsSheet>(Engine(), frame_.get());
    tabs_ = sheet_->GetTabs();
    sheet_->show();
    tabs_->setCurrentWidget(Page("Console"));
    auto* console = Control<QPlainTextEdit>(Page("Console"), 1052);
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(console->isReadOnly());
    EXPECT_TRUE(console->toPlainText().endsWith(QStringLiteral("line\nlast line\n")));
    EXPECT_FALSE(console->toPlainText().contains(u'\r'));
    EXPECT_EQ(console->verticalScrollBar()->value(), console->verticalScrollBar()->maximum());
    EXPECT_GT(console->verticalScrollBar()->maximum(), 0);
}

TEST_F(SettingsSheetTest, SharpScalingOnTheVideoPageIsOnByDefaultAndSavedWithOk) {
    QCheckBox* sharp = Control<QCheckBox>(Page("Video"), App::CVideoPage::kSharpScaleId);
    ASSERT_NE(sharp, nullptr);
    EXPECT_EQ(sharp->text(), QStringLiteral("Sharp Scaling"));
    EXPECT_TRUE(sharp->isChecked());
    sharp->setChecked(false);
    sheet_->accept();
    EXPECT_FALSE(Settings().getBoolean(L"SharpScale"));
    sheet_->OnDefault();
    EXPECT_TRUE(Settings().getBoolean(L"SharpScale"));
    EXPECT_TRUE(sharp->isChecked());
}

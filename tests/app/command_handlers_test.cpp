// command_handlers_test.cpp - Open, Reset, the state commands, Options, Exit
// and About, with the questions answered Yes and No.
#include <QAction>
#include <QDialog>
#include <QLabel>

#include "app/about_box.h"
#include "app/command_ids.h"
#include "app_fixture.h"
#include "engine/error_text.h"

using namespace App;

TEST_F(AppTest, OpenOffersEveryPluginsFilterThenZipAndRunsTheChosenFile) {
    CreateFrame();
    Settings().set(L"ROMPath", CString::FromUtf8(home_));
    Settings().set(L"DefaultExt", 2);
    fileAnswer_ = {true, QString::fromStdString(home_ + "/roms/game.fk1"), 0};
    frame_->GetAction(ID_FILE_OPEN)->trigger();

    ASSERT_EQ(fileRequests_.size(), 1u);
    const OpenFileRequest& request = fileRequests_[0];
    EXPECT_EQ(request.folder, QString::fromStdString(home_));
    ASSERT_EQ(request.filters.size(), Engine().GetEmulatorCount() + 1);
    EXPECT_EQ(request.filters[0], QStringLiteral("Fake 1 (*.fk1 *.FK1)"));
    EXPECT_EQ(request.filters[1], QStringLiteral("Fake 2 (*.fk2 *.FK2)"));
    EXPECT_EQ(request.filters.last(), QStringLiteral("Zip Files (*.zip *.ZIP)"));
    EXPECT_EQ(request.selectedFilter, 1) << "DefaultExt counts from 1";

    EXPECT_TRUE(Engine().IsRunning());
    EXPECT_EQ(Engine().GetActiveEmulator(), &Fake());
    EXPECT_EQ(Settings().getString(L"ROMPath").ToUtf8(), home_ + "/roms");
    EXPECT_EQ(Settings().getInt(L"DefaultExt"), 1);
    EXPECT_EQ(Count(L"CheckStateCalls"), 1);
    EXPECT_FALSE(Engine().IsPaused()) << "the dialog's pause is resumed";
}

TEST_F(AppTest, OpenCancelledChangesNothing) {
    CreateFrame();
    Settings().set(L"ROMPath", L"/somewhere");
    fileAnswer_ = {};
    frame_->GetAction(ID_FILE_OPEN)->trigger();
    EXPECT_EQ(fileRequests_.size(), 1u);
    EXPECT_FALSE(Engine().IsRunning());
    EXPECT_EQ(Settings().getString(L"ROMPath"), CString(L"/somewhere"));
    EXPECT_FALSE(Engine().IsPaused());
}

TEST_F(AppTest, OpenOfAFileNoEmulatorTakesFailsSilently) {
    CreateFrame();
    fileAnswer_ = {true, QStringLiteral("/somewhere/notes.txt"), 0};
    frame_->GetAction(ID_FILE_OPEN)->trigger();
    EXPECT_FALSE(Engine().IsRunning());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(AppTest, ResetAsksAndResetsOnlyOnYes) {
    CreateFrame();
    RunGame();
    answer_ = false;
    frame_->GetAction(ID_RESET)->trigger();
    EXPECT_EQ(questions_, QStringList({"This will reset the current game, are you sure you wish to do this?"}));
    EXPECT_EQ(Count(L"ResetCalls"), 0);
    answer_ = true;
    frame_->GetAction(ID_RESET)->trigger();
    EXPECT_EQ(Count(L"ResetCalls"), 1);
    EXPECT_FALSE(Engine().IsPaused());
}

TEST_F(AppTest, SaveStateAsksSavesOnYesAndReportsAFailure) {
    CreateFrame();
    RunGame();
    answer_ = false;
    frame_->GetAction(ID_SAVE_STATE)->trigger();
    EXPECT_EQ(questions_, QStringList({"Do you wish to save your current game?"}));
    EXPECT_EQ(Count(L"SaveStateCalls"), 0);

    answer_ = true;
    Fake().GetSettings().set(L"SaveStateResult", true);
    frame_->GetAction(ID_SAVE_STATE)->trigger();
    EXPECT_EQ(Count(L"SaveStateCalls"), 1);
    EXPECT_TRUE(messages_.empty());

    Fake().GetSettings().set(L"SaveStateResult", false);
    frame_->GetAction(ID_SAVE_STATE)->trigger();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("could not be saved"), std::string::npos);
    EXPECT_TRUE(Engine().IsRunning());
    EXPECT_FALSE(Engine().IsPaused());
}

TEST_F(AppTest, LoadStateAsksLoadsAndResumesTheUserPauseOnYes) {
    CreateFrame();
    RunGame();
    Fake().GetSettings().set(L"HasState", true);
    Engine().UserPause();
    frame_->UpdateCommands();
    answer_ = false;
    frame_->GetAction(ID_LOAD_STATE)->trigger();
    EXPECT_EQ(questions_, QStringList({"Are you sure you wish to start the game from the last saved state?"}));
    EXPECT_EQ(Count(L"LoadStateCalls"), 0);
    EXPECT_TRUE(Engine().IsUserPaused());

    answer_ = true;
    Fake().GetSettings().set(L"LoadStateResult", true);
    frame_->GetAction(ID_LOAD_STATE)->trigger();
    EXPECT_EQ(Count(L"LoadStateCalls"), 1);
    EXPECT_FALSE(Engine().IsUserPaused());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(AppTest, AFailedLoadStateIsReportedAndTheGameGoesOn) {
    CreateFrame();
    RunGame();
    Fake().GetSettings().set(L"HasState", true);
    Fake().GetSettings().set(L"LoadStateResult", false);
    frame_->UpdateCommands();
    frame_->GetAction(ID_LOAD_STATE)->trigger();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("could not be loaded"), std::string::npos);
    EXPECT_TRUE(Engine().IsRunning());
    EXPECT_EQ(Engine().GetActiveEmulator(), &Fake());
    EXPECT_FALSE(Engine().IsPaused());
}

TEST_F(AppTest, ExitAsksAndQuitsOnlyOnYes) {
    CreateFrame();
    answer_ = false;
    frame_->GetAction(ID_APP_EXIT)->trigger();
    EXPECT_EQ(questions_, QStringList({"Are you sure you want to exit Tamboril?"}));
    EXPECT_FALSE(frame_->IsQuitRequested());
    answer_ = true;
    frame_->GetAction(ID_APP_EXIT)->trigger();
    EXPECT_TRUE(frame_->IsQuitRequested());
    EXPECT_NE(frame_->GetEngine(), nullptr) << "the run loop's end destroys the engine, not the command";
}

TEST_F(AppTest, OptionsOffersGlobalSettingsThenOneItemPerEmulatorAtMostSeven) {
    CreateFrame();
    frame_->GetAction(ID_OPTIONS)->trigger();
    const int items = std::min(Engine().GetEmulatorCount(), kMaxEmulatorItems);
    ASSERT_EQ(popUpItems_.size(), 2 + items);
    EXPECT_EQ(popUpItems_[0], QStringLiteral("Global Settings"));
    EXPECT_EQ(popUpItems_[1], QStringLiteral("-"));
    for (int i = 0; i < items; ++i)
        EXPECT_EQ(popUpItems_[2 + i], QString::fromStdWString(Engine().GetEmulator(i)->GetName().Text()));
    EXPECT_EQ(Engine().GetEmulatorCount(), 8) << "eight fake plug-ins are built beside the test program";
}

TEST_F(AppTest, AnEmulatorItemShowsItsSettingsAndTheSettingsAreSaved) {
    CreateFrame();
    popUpChoice_ = QStringLiteral("Fake 1");
    frame_->GetAction(ID_OPTIONS)->trigger();
    EXPECT_EQ(Count(L"ShowSettingsCalls"), 1);
    EXPECT_EQ(Engine().GetEmulator(1)->GetSettings().getInt(L"ShowSettingsCalls"), 0);
}

TEST_F(AppTest, ChoosingNothingFromOptionsRunsNoDialog) {
    CreateFrame();
    int dialogs = 0;
    dialogAnswer_ = [&](QDialog&) {
        ++dialogs;
        return static_cast<int>(QDialog::Rejected);
    };
    frame_->GetAction(ID_OPTIONS)->trigger();
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(Count(L"ShowSettingsCalls"), 0);
}

TEST_F(AppTest, AboutNamesTheProgramItsVersionLicenceAndPlugins) {
    CreateFrame();
    QString text;
    dialogAnswer_ = [&](QDialog& dialog) {
        if (auto* about = dynamic_cast<CAboutBox*>(&dialog)) text = about->GetText();
        return static_cast<int>(QDialog::Accepted);
    };
    frame_->GetAction(ID_APP_ABOUT)->trigger();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Tamboril "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Licence"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Fake 1"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Fake 8"))) << text.toStdString();
}

// commands_test.cpp - the main window's menus, command bar and enable rules.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include "app/command_ids.h"
#include "app/main_view.h"
#include "app_fixture.h"
#include "lumaret/input.h"
#include "lumaret/keys.h"

using namespace App;

namespace {

// "-" for a separator, else the text; with `withIds`, text and identifier.
QStringList Describe(const QList<QAction*>& actions, bool withIds) {
    QStringList items;
    for (QAction* action : actions) {
        if (action->isSeparator())
            items << QStringLiteral("-");
        else
            items << (withIds ? action->text() + u'=' + QString::number(action->data().toInt()) : action->text());
    }
    return items;
}

}  // namespace

TEST_F(AppTest, MenuBarHasFileAndToolsWithTheirItemsInOrder) {
    CreateFrame();
    const QList<QAction*> menus = frame_->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("&Tools"));
    EXPECT_EQ(Describe(menus[0]->menu()->actions(), true),
              QStringList({"&Open...=57601", "-", "&Play=32774", "Pa&use=32775", "&Reset=32776", "-", "E&xit=32772"}));
    EXPECT_EQ(Describe(menus[1]->menu()->actions(), true),
              QStringList({"&Options...=32773", "-", "&About Tamboril...=57664"}));
}

TEST_F(AppTest, CommandBarHasThirteenEntriesWithIconsTooltipsAndIdentifiers) {
    CreateFrame();
    QToolBar* bar = frame_->GetCommandBar();
    EXPECT_EQ(bar->property(kControlIdProperty).toInt(), kCommandBarId);
    const QList<QAction*> entries = bar->actions();
    ASSERT_EQ(entries.size(), 13);
    QStringList order;
    QStringList tooltips;
    for (QAction* entry : entries) {
        if (entry->isSeparator()) {
            order << QStringLiteral("-");
            continue;
        }
        order << QString::number(entry->data().toInt());
        tooltips << entry->toolTip();
        EXPECT_FALSE(entry->icon().isNull()) << entry->toolTip().toStdString();
        EXPECT_EQ(entry->property(kControlIdProperty).toInt(), entry->data().toInt());
    }
    EXPECT_EQ(order, QStringList({"57601", "-", "32774", "32775", "32776", "-", "32778", "32779", "-", "32773", "32772",
                                  "-", "57664"}));
    EXPECT_EQ(tooltips, QStringList({"Open a game.", "Resume a game in progress.", "Pause a game in progress.",
                                     "Reset the game in progress.", "Save the current state of the game.",
                                     "Load a previously saved game state.", "Settings and configuration.",
                                     "Exit Tamboril.", "About Tamboril."}));
    EXPECT_EQ(frame_->GetView()->property(kControlIdProperty).toInt(), kViewId);
}

TEST_F(AppTest, BeforeAFileOnlyTheFileIndependentCommandsAreEnabled) {
    CreateFrame();
    for (int id : {ID_FILE_OPEN, ID_OPTIONS, ID_APP_EXIT, ID_APP_ABOUT}) EXPECT_TRUE(Enabled(id)) << id;
    for (int id : {ID_PLAY, ID_PAUSE, ID_RESET, ID_SAVE_STATE, ID_LOAD_STATE}) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(AppTest, PlayAndPauseFollowTheUserPauseWhileAFileRuns) {
    CreateFrame();
    RunGame();
    EXPECT_FALSE(Enabled(ID_PLAY));
    EXPECT_TRUE(Enabled(ID_PAUSE));
    EXPECT_TRUE(Enabled(ID_RESET));
    EXPECT_TRUE(Enabled(ID_SAVE_STATE));

    frame_->GetAction(ID_PAUSE)->trigger();
    EXPECT_TRUE(Engine().IsUserPaused());
    EXPECT_TRUE(Enabled(ID_PLAY));
    EXPECT_FALSE(Enabled(ID_PAUSE));
    EXPECT_TRUE(Enabled(ID_RESET));

    frame_->GetAction(ID_PLAY)->trigger();
    EXPECT_FALSE(Engine().IsUserPaused());
    EXPECT_FALSE(Enabled(ID_PLAY));
}

TEST_F(AppTest, LoadStateIsEnabledOnlyWhenTheActiveEmulatorHasAState) {
    CreateFrame();
    Fake().GetSettings().set(L"HasState", true);
    EXPECT_FALSE(Enabled(ID_LOAD_STATE)) << "no emulator is active";
    RunGame();
    EXPECT_TRUE(Enabled(ID_LOAD_STATE));
    Fake().GetSettings().set(L"HasState", false);
    EXPECT_FALSE(Enabled(ID_LOAD_STATE));
}

TEST_F(AppTest, AfterShutdownTheFileCommandsAreDisabledAgain) {
    CreateFrame();
    RunGame();
    Engine().Shutdown();
    for (int id : {ID_PLAY, ID_PAUSE, ID_RESET, ID_SAVE_STATE}) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(AppTest, KeysPressedInTheViewReachTheInputObject) {
    CreateFrame();
    ShowActive();
    Lumaret::Input* input = Engine().GetInput();
    QTest::keyPress(frame_->GetView(), Qt::Key_Up);
    EXPECT_TRUE(input->IsKeyDown(Lumaret::Vk::Up));
    QTest::keyRelease(frame_->GetView(), Qt::Key_Up);
    EXPECT_FALSE(input->IsKeyDown(Lumaret::Vk::Up));
    QTest::keyPress(frame_.get(), Qt::Key_X);
    EXPECT_TRUE(input->IsKeyDown('X')) << "keys the frame itself receives count too";
}

TEST_F(AppTest, AShrunkFrameGoesBackToItsPlaceOnceWithoutFightingTheWindowManager) {
    CreateFrame();
    const QRect place = frame_->WindowedGeometry();
    frame_->setGeometry(place);
    ShowActive();
    QTest::qWait(20);
    ASSERT_EQ(frame_->height(), place.height());
    frame_->resize(place.width(), place.height() / 2);
    QTest::qWait(20);
    EXPECT_EQ(frame_->height(), place.height()) << "a lower frame is moved back to its place";
    frame_->resize(place.width(), place.height() / 2);
    QTest::qWait(20);
    EXPECT_EQ(frame_->height(), place.height() / 2) << "the same move is not repeated";
}

// app_fixture.cpp - the main-window fixture and the test program's entry: Qt's
// application object must exist before any widget.
#include "app_fixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/command_ids.h"

void AppTest::SetUp() {
    char folder[] = "/tmp/tamboril-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    home_ = folder;
    setenv("TAMBORIL_HOME", home_.c_str(), 1);
    savedMessageHook_ = Emu::Engine::MessageHook();
    Emu::Engine::MessageHook() = [this](const CString& text) { messages_.push_back(text.ToUtf8()); };
    App::Modal().ask = [this](QWidget*, const QString& question) {
        questions_ << question;
        return answer_;
    };
    App::Modal().openFile = [this](QWidget*, const App::OpenFileRequest& request) {
        fileRequests_.push_back(request);
        return fileAnswer_;
    };
    App::Modal().runDialog = [this](QDialog& dialog) {
        return dialogAnswer_ ? dialogAnswer_(dialog) : static_cast<int>(QDialog::Rejected);
    };
    App::Modal().popUp = [this](QMenu& menu, const QPoint&) -> QAction* {
        QAction* chosen = nullptr;
        for (QAction* action : menu.actions()) {
            popUpItems_ << (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (!action->isSeparator() && action->text() == popUpChoice_) chosen = action;
        }
        return chosen;
    };
}

void AppTest::TearDown() {
    frame_.reset();
    App::RestoreModalDefaults();
    Emu::Engine::MessageHook() = savedMessageHook_;
    std::filesystem::remove_all(home_);
    unsetenv("TAMBORIL_HOME");
}

void AppTest::CreateFrame() {
    frame_ = std::make_unique<App::CMainFrame>();
    ASSERT_NE(frame_->GetEngine(), nullptr);
    ASSERT_GE(Engine().GetEmulatorCount(), 2) << "the fake plug-ins are missing beside the test program";
    ASSERT_EQ(Fake().GetName(), CString(L"Fake 1"));
}

void AppTest::RunGame() {
    ASSERT_TRUE(Engine().RunFile(CString::FromUtf8(home_ + "/game.fk1")));
    frame_->UpdateCommands();
}

void AppTest::ShowActive() {
    frame_->show();
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
}

bool AppTest::Enabled(int id) {
    frame_->UpdateCommands();
    return frame_->GetAction(id)->isEnabled();
}

int main(int argc, char** argv) {
    // Listing the tests runs this too, outside CTest's environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// app_fixture.h - a main window with a real engine on Qt's offscreen platform,
// fake emulator plug-ins beside the test program (fake_emulator.cpp), a
// settings store in a fresh folder, and every message box and dialog answered
// by the test.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/modal.h"
#include "engine/emulator.h"
#include "engine/engine.h"

// Test failures print Qt's text as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the frame (and so the engine).
    void CreateFrame();
    Emu::Engine& Engine() { return *frame_->GetEngine(); }
    PropertyMap& Settings() { return Engine().GetSettings(); }
    // The fake plug-in "Fake 1" (accepts ".fk1"), first in the engine's list.
    Emu::Emulator& Fake() { return *Engine().GetEmulator(0); }
    int Count(const wchar_t* counter) { return Fake().GetSettings().getInt(counter); }
    // Runs a good image through the engine.
    void RunGame();
    // Shows the frame and waits until it is the active window.
    void ShowActive();
    bool Enabled(int id);

    std::string home_;
    std::unique_ptr<App::CMainFrame> frame_;
    std::vector<std::string> messages_;
    QStringList questions_;
    bool answer_ = true;
    // What the file dialog answers, and what it was asked.
    App::OpenFileResult fileAnswer_;
    std::vector<App::OpenFileRequest> fileRequests_;
    // What a dialog does when it is run (default: Cancel).
    std::function<int(QDialog&)> dialogAnswer_;
    // The text of the pop-up menu item to choose; empty chooses none.
    QString popUpChoice_;
    QStringList popUpItems_;

private:
    Emu::Engine::MessageFunction savedMessageHook_;
};

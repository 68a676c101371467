// desktop_fixture.cpp - the main window, its additions and the demo for the
// desktop tests.
#include "desktop_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QtTest/QTest>
#include <cstdlib>

#include "app/main_view.h"
#include "lumaret_test_app.h"

void DesktopTest::SetUp() {
    setenv("TAMBORIL_HOME", home.path().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TestApp();
    Emu::Engine::MessageHook() = [this](const CString& text) { messages.push_back(text.ToUtf8()); };
    frame = std::make_unique<App::CMainFrame>();
    ASSERT_NE(frame->GetEngine(), nullptr);
    extras = std::make_unique<App::CFrameExtras>(*frame);
    frame->resize(640, 480);
    frame->show();
    ASSERT_NE(Gba(), nullptr) << "Emu/Kestrine.so is missing beside the test program";
}

void DesktopTest::TearDown() {
    extras.reset();
    if (frame) frame->Destroy();
    frame.reset();
    Emu::Engine::MessageHook() = [](const CString&) {};
}

Emu::Emulator* DesktopTest::Gba() {
    for (int i = 0; i < Engine().GetEmulatorCount(); ++i)
        if (Engine().GetEmulator(i)->GetName() == CString(L"GameBoy Advance")) return Engine().GetEmulator(i);
    return nullptr;
}

std::string DesktopTest::CopyDemo(const std::string& relative) const { return ::CopyDemo(files, relative); }

void DesktopTest::RunDemo(const std::string& path, int frames) {
    ASSERT_TRUE(Engine().RunFile(CString::FromUtf8(path)));
    RunFrames(frames);
}

void DesktopTest::RunFrames(int frames) {
    for (int i = 0; i < frames; ++i) Engine().GetActiveEmulator()->Execute();
}

void DesktopTest::Key(int qtKey, bool down, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, modifiers);
    QApplication::sendEvent(frame->GetView(), &event);
}

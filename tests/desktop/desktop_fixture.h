// desktop_fixture.h - the program's main window with its desktop additions
// (frame_extras.h) on Qt's offscreen platform and SDL's dummy audio driver: a
// real engine that finds the Kestrine plug-in beside the test program, a
// settings store in a fresh folder and the demo cartridge copied there.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/frame_extras.h"
#include "app/main_frame.h"
#include "engine/emulator.h"
#include "test_files.h"

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Emu::Engine& Engine() { return *frame->GetEngine(); }
    // The GameBoy Advance emulator (null when the plug-in is missing).
    Emu::Emulator* Gba();
    // A fresh copy of the demo cartridge at `relative` below the files folder.
    std::string CopyDemo(const std::string& relative = "demo.gba") const;
    // Runs `path` and `frames` frames of it.
    void RunDemo(const std::string& path, int frames);
    void RunFrames(int frames);
    // Presses or releases a key in the view, as the keyboard would.
    void Key(int qtKey, bool down, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    TempDir home;
    TempDir files;
    std::unique_ptr<App::CMainFrame> frame;
    std::unique_ptr<App::CFrameExtras> extras;
    std::vector<std::string> messages;
};

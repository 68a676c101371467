// engine_fixture.h - an engine for the plug-in's tests: a temporary
// configuration folder, the view it draws into (240 x 160, so a frame is shown
// one to one) and its message boxes answered and kept.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "lumaret/types.h"
#include "test_files.h"

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh copy of the demo cartridge, at `relative` below the files folder.
    std::string CopyDemo(const std::string& relative = "demo.gba") const;
    // Presses or releases a device key the way the program's window reports it.
    void Key(uint16_t vk, bool down);
    // The 240 x 160 pixels of the view with their top-left corner at `at`
    // (the render rectangle), as RGB565 row by row.
    std::vector<uint16_t> ShownFrame(const Lumaret::Rect& at) const;
    // The text of the settings store's file for HKEY_CURRENT_USER.
    std::string StoreText() const;

    TempDir home;
    TempDir files;
    std::unique_ptr<QWidget> view;
    std::unique_ptr<Emu::Engine> engine;
    std::vector<std::string> messages;
};

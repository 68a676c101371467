// engine_fixture.h - an engine on a view widget for each test: a fresh
// configuration folder, a program folder of its own whose "Emu" folder holds
// the chosen stand-in plug-ins, message boxes answered by the test and SDL's
// dummy audio driver.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../lumaret/lumaret_test_app.h"
#include "engine/engine.h"
#include "engine/pad_skin.h"
#include "engine/program_folder.h"
#include "plugins/test_emulator.h"
#include "store_fixture.h"

class EngineTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        TestApp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        program_ = base_ + "/program";
        std::filesystem::create_directories(program_);
        Emu::SetProgramFolder(CString::FromUtf8(program_));
        previousHook_ = Emu::Engine::MessageHook();
        Emu::Engine::MessageHook() = [this](const CString& text) { messages.push_back(text.ToUtf8()); };
        view_ = std::make_unique<QWidget>();
        view_->resize(240, 320);
    }
    void TearDown() override {
        engine_.reset();
        view_.reset();
        Emu::Engine::MessageHook() = previousHook_;
        Emu::SetProgramFolder(CString());
        StoreTest::TearDown();
    }

    // Puts the built stand-in plug-in `name` ("Nes.so", ...) into the Emu folder.
    void AddPlugin(const std::string& name, const std::string& as = "") {
        std::filesystem::create_directories(program_ + "/Emu");
        std::filesystem::copy_file(std::string(TAMBORIL_TEST_PLUGINS) + "/" + name,
                                   program_ + "/Emu/" + (as.empty() ? name : as));
    }
    Emu::Engine& StartEngine() {
        engine_ = std::make_unique<Emu::Engine>(view_.get());
        return *engine_;
    }
    void StopEngine() { engine_.reset(); }
    TestEmulator& EmulatorAt(int index) { return *static_cast<TestEmulator*>(engine_->GetEmulator(index)); }
    std::vector<std::string> EmulatorNames() {
        std::vector<std::string> names;
        for (int i = 0; i < engine_->GetEmulatorCount(); ++i)
            names.push_back(engine_->GetEmulator(i)->GetName().ToUtf8());
        return names;
    }

    std::vector<std::string> messages;  // texts of the message boxes shown
    std::string program_;
    std::unique_ptr<QWidget> view_;
    std::unique_ptr<Emu::Engine> engine_;

private:
    Emu::Engine::MessageFunction previousHook_;
};

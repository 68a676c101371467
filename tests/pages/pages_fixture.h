// pages_fixture.h - what the settings page tests share: the plug-in tests'
// engine (offscreen view, temporary settings store, messages kept) on a
// 640 x 480 desktop, run from a program folder of its own that holds two test
// skins beside the built-in one, every modal dialog answered by the test, and
// the Game Boy Advance machine (no file running) whose settings the pages edit.
#pragma once

#include <functional>
#include <memory>

#include "engine/pages/modal.h"
#include "engine/pages/settings_page.h"
#include "engine_fixture.h"
#include "gba_machine.h"
#include "test_files.h"

class PagesTest : public EngineFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The control below `root` with identifier `id`; fails the test when
    // there is none.
    template <class T>
    T* Control(QWidget* root, int id) {
        T* control = root->findChild<T*>(Emu::ControlName(id));
        EXPECT_NE(control, nullptr) << "no control " << id;
        return control;
    }

    PropertyMap& Settings() { return machine_->GetSettings(); }

    // Answers every dialog run through the modal seam with its result.
    std::function<int(QDialog&)> onModal_;
    int modalRuns_ = 0;
    std::unique_ptr<GbaMachine> machine_;

private:
    TempDir program_;
};

// The identifiers of the two test skins, after the built-in "GB|Tamboril Default".
inline const wchar_t kBlueSkin[] = L"GB|Blue Test Pad";
inline const wchar_t kRedSkin[] = L"NES|Red Test Pad";

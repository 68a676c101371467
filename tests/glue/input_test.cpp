// input_test.cpp - the input: device keys and pad areas to the console's
// buttons, read once a frame into KEYINPUT, with the sound refilled first.
#include "lumaret/input.h"

#include "engine/pad_skin.h"
#include "gba_input.h"
#include "gba_sound.h"
#include "lumaret/window.h"
#include "machine_fixture.h"
#include "sound/voices.h"

namespace {

using GbaInputTest = MachineFixture;

TEST_F(GbaInputTest, EachBoundKeyPressesItsButton) {
    // Key-list entries up, down, left, right, start, A, B, C, D, E and the
    // console buttons they press: the device's A is the console's B and its B the console's A.
    const uint32_t buttons[10] = {0x0040, 0x0080, 0x0020, 0x0010, 0x0008, 0x0002, 0x0001, 0x0004, 0x0200, 0x0100};
    ASSERT_TRUE(Start(CopyDemo()));
    const Lumaret::KeyList keys = machine->GetKeyList();
    for (int entry = 0; entry < 10; ++entry) {
        Key(keys.keys[entry], true);
        RunFrames(1);
        EXPECT_EQ(KeypadRegister(), 0xFFFFu & ~buttons[entry]) << "key-list entry " << entry;
        Key(keys.keys[entry], false);
    }
    RunFrames(1);
    EXPECT_EQ(KeypadRegister(), 0xFFFFu) << "all released";
}

TEST_F(GbaInputTest, ChangedBindingTakesEffectAtOnce) {
    ASSERT_TRUE(Start(CopyDemo()));
    Lumaret::KeyList keys = machine->GetKeyList();
    keys.keys[4] = 'Q';  // start
    machine->SetKeyList(keys);
    machine->UpdateSettings();
    Key('Q', true);
    RunFrames(1);
    EXPECT_EQ(KeypadRegister(), 0xFFFFu & ~0x0008u);
}

// A point of the visible pad whose area is Start, in the pad's coordinates.
bool FindStartArea(int& x, int& y) {
    CSize size = Emu::PadSkin::GetImageSize();
    for (y = 0; y < size.cy / 2; ++y)
        for (x = 0; x < size.cx; ++x)
            if (Emu::PadSkin::CheckPad(x, y) & Emu::PadSkin::kStart) return true;
    return false;
}

TEST_F(GbaInputTest, TouchingThePadsStartAreaInFullScreenPressesStart) {
    ASSERT_TRUE(Start(CopyDemo()));
    int x = 0, y = 0;
    ASSERT_TRUE(FindStartArea(x, y));
    // The pad sits at the bottom of the window, its visible half showing.
    Lumaret::Rect window{};
    engine->GetWindow()->GetRect(&window);
    const int offset = window.height - Emu::PadSkin::GetImageSize().cy / 2;
    Lumaret::Point stylus{x, y + offset};
    engine->GetInput()->SetStylusPosition(&stylus);
    engine->GetInput()->SetStylusDown(true);

    RunFrames(1);
    EXPECT_EQ(KeypadRegister(), 0xFFFFu) << "the pad is active only in full screen";

    engine->GetSettings().set(L"FullScreen", true);
    engine->GetSettings().set(L"VirtualPad", true);
    machine->UpdateSettings();
    RunFrames(1);
    EXPECT_EQ(KeypadRegister(), 0xFFFFu & ~0x0008u);
}

TEST_F(GbaInputTest, KeypadReadRefillsTheSoundBuffers) {
    GbaSound& sound = *static_cast<GbaSound*>(machine->GetSound());
    sound.Open(22050);
    ASSERT_TRUE(sound.IsOpen());
    SetVoiceTone(0, 440, 255);
    sound.Pause();  // the device gives back every buffer
    const uint64_t phase = sound.GetSynthesizer().Phase(0);
    GbaInput::ReadKeypad();
    EXPECT_GT(sound.GetSynthesizer().Phase(0), phase) << "the free buffers were rendered";
}

}  // namespace

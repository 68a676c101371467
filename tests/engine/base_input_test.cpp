// base_input_test.cpp - button bits from the key map and from the pad under
// the stylus.
#include "engine/base_input.h"

#include "engine_fixture.h"
#include "lumaret/input.h"

namespace {

class TestInput : public Emu::BaseInput {
public:
    using BaseInput::BaseInput;
    bool PadActive() const { return padActive_; }
};

}  // namespace

class InputTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartEngine();
        input_ = engine_->GetInput();
    }
    void Press(int key, bool down) { input_->SetKey(key, down); }

    TestEmulator emulator_{L"Test", L"Test", L".test"};
    Lumaret::Input* input_ = nullptr;
};

TEST_F(InputTest, KeysSetTheirBitsAndALaterEntryForTheSameBitOverrides) {
    TestInput input(&emulator_);
    input.RegisterKey(0x0001, 0, 'X');
    input.RegisterKey(0x0002, 0, 'Z');
    input.RegisterKey(0x0001, 0, 'C');
    input.Open();
    Press('Z', true);
    EXPECT_EQ(input.GetState(), 0x0002u);
    Press('X', true);  // overridden by the released 'C'
    EXPECT_EQ(input.GetState(), 0x0002u);
    Press('C', true);
    EXPECT_EQ(input.GetState(), 0x0003u);
    Press('X', false);  // the later entry decides
    EXPECT_EQ(input.GetState(), 0x0003u);
    input.ClearKeyMap();
    EXPECT_EQ(input.GetState(), 0u);
}

TEST_F(InputTest, ThePadCountsOnlyInFullScreenWithTheVirtualPad) {
    TestInput input(&emulator_);
    input.Open();
    EXPECT_FALSE(input.PadActive());
    engine_->GetSettings().set(L"FullScreen", true);
    input.UpdateSettings();
    EXPECT_TRUE(input.PadActive());
    engine_->GetSettings().set(L"VirtualPad", false);
    input.UpdateSettings();
    EXPECT_FALSE(input.PadActive());
}

TEST_F(InputTest, TheStylusIsMeasuredFromTheTopOfTheVisiblePad) {
    Emu::PadSkin::SetActiveSkin(nullptr);  // the built-in skin, 240 x 160
    ASSERT_EQ(Emu::PadSkin::GetImageSize().cy, 160);
    engine_->GetSettings().set(L"FullScreen", true);
    TestInput input(&emulator_);
    input.RegisterKey(0x0040, Emu::PadSkin::kNorth, 0);
    input.RegisterKey(0x0008, Emu::PadSkin::kStart, 0);
    input.Open();
    // The view is 320 high: the pad's visible half starts at 320 - 80 = 240.
    // North of the cross lies at (45, 10) of the pad.
    Lumaret::Point point{45, 240 + 10};
    input_->SetStylusPosition(&point);
    input_->SetStylusDown(true);
    EXPECT_EQ(input.GetState(), 0x0040u);
    point = {45, 10};  // above the pad
    input_->SetStylusPosition(&point);
    EXPECT_EQ(input.GetState(), 0u);
    input_->SetStylusDown(false);
    point = {45, 250};
    input_->SetStylusPosition(&point);
    EXPECT_EQ(input.GetState(), 0u);
}

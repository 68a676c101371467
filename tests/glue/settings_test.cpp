// settings_test.cpp - the machine's settings: defaults, the values kept in the
// store with their types, and values read back within their ranges.
#include "engine/registry.h"
#include "lumaret/input.h"
#include "machine_fixture.h"

namespace {

class GbaSettingsTest : public MachineFixture {
protected:
    void SetUp() override {
        MachineFixture::SetUp();
        ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril\\GameBoyAdvance", true));
    }
    PropertyMap& Settings() { return machine->GetSettings(); }
    CRegistry registry;
};

TEST_F(GbaSettingsTest, ResetGivesTheDefaults) {
    Settings().set(L"SoundChannel3", false);
    Settings().set(L"SoundChannel9", true);
    machine->SetKeyList(Lumaret::KeyList{});
    machine->ResetSettings();
    EXPECT_EQ(Settings().getInt(L"ScreenScale"), 0);
    EXPECT_TRUE(Settings().getBoolean(L"FrameSync"));
    EXPECT_EQ(Settings().getInt(L"FrameSkip"), 1);
    EXPECT_EQ(Settings().getInt(L"FrameSpeed"), 0);
    EXPECT_TRUE(Settings().getBoolean(L"Sound"));
    EXPECT_FALSE(Settings().getBoolean(L"Noise"));
    for (int channel = 0; channel < 16; ++channel) {
        CString name;
        name.Format(L"SoundChannel%d", channel);
        EXPECT_EQ(Settings().getBoolean(name), channel < 6) << channel;
    }
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 22050);
    EXPECT_EQ(Settings().getString(L"PadSkin"), CString(L"GB|Tamboril Default"));
    const Lumaret::KeyList defaults = *engine->GetInput()->GetDefaultKeys();
    for (int i = 0; i < Lumaret::KeyList::kCount; ++i) EXPECT_EQ(machine->GetKeyList().keys[i], defaults.keys[i]) << i;
}

TEST_F(GbaSettingsTest, SavedValuesHaveTheirTypesAndOnlyTheKeptOnesAreWritten) {
    Settings().set(L"FrameSync", true);
    Settings().set(L"SoundRate", 44100);
    Settings().set(L"SoundChannel2", false);
    Lumaret::KeyList keys = machine->GetKeyList();
    keys.keys[4] = 0x0D;
    keys.keys[0] = 0x26;
    machine->SetKeyList(keys);
    machine->SaveSettings(registry);

    const std::string text = StoreText();
    for (const char* line :
         {"\"ScreenScale\"=hex:00,00,00,00\n", "\"FrameSync\"=hex:01,00,00,00\n", "\"Sound\"=hex:01,00,00,00\n",
          "\"Noise\"=hex:00,00,00,00\n", "\"SoundChannel0\"=hex:01,00,00,00\n", "\"SoundChannel2\"=hex:00,00,00,00\n",
          "\"SoundChannel3\"=hex:01,00,00,00\n", "\"SoundRate\"=hex:44,ac,00,00\n",
          "\"PadSkin\"=\"GB|Tamboril Default\"\n", "\"vkStart\"=hex:0d,00,00,00\n", "\"vkUp\"=hex:26,00,00,00\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    for (const char* name : {"vkA", "vkB", "vkC", "vkD", "vkE", "vkDown", "vkLeft", "vkRight"})
        EXPECT_NE(text.find("\"" + std::string(name) + "\"=hex:"), std::string::npos) << name;
    for (const char* name : {"FrameSkip", "FrameSpeed", "SoundChannel4", "SoundChannel15"})
        EXPECT_EQ(text.find("\"" + std::string(name) + "\""), std::string::npos) << name << " is not kept";
}

TEST_F(GbaSettingsTest, LoadReadsTheKeptValuesBack) {
    registry.WriteDword(L"ScreenScale", 2);
    registry.WriteBool(L"FrameSync", false);
    registry.WriteBool(L"Noise", true);
    registry.WriteInt(L"SoundChannel1", 0);
    registry.WriteDword(L"SoundRate", 11025);
    registry.WriteString(L"PadSkin", L"GB|Elsewhere");
    registry.WriteDword(L"vkA", 'K');
    registry.WriteDword(L"vkRight", 0);  // unbound
    machine->LoadSettings(registry);
    EXPECT_EQ(Settings().getInt(L"ScreenScale"), 2);
    EXPECT_FALSE(Settings().getBoolean(L"FrameSync"));
    EXPECT_TRUE(Settings().getBoolean(L"Noise"));
    EXPECT_FALSE(Settings().getBoolean(L"SoundChannel1"));
    EXPECT_TRUE(Settings().getBoolean(L"SoundChannel0")) << "a missing value keeps the current one";
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 11025);
    EXPECT_EQ(Settings().getString(L"PadSkin"), CString(L"GB|Elsewhere"));
    EXPECT_EQ(machine->GetKeyList().keys[5], 'K');
    EXPECT_EQ(machine->GetKeyList().keys[3], 0);
}

TEST_F(GbaSettingsTest, ValuesReadBackAreKeptInTheirRanges) {
    registry.WriteDword(L"ScreenScale", 100000);
    registry.WriteDword(L"SoundRate", 0);
    registry.WriteDword(L"vkUp", 0x10026);
    machine->LoadSettings(registry);
    EXPECT_EQ(Settings().getInt(L"ScreenScale"), 10);
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 8000);
    EXPECT_EQ(machine->GetKeyList().keys[0], 0) << "not a key: unbound";
    registry.WriteDword(L"SoundRate", 192000);
    machine->LoadSettings(registry);
    EXPECT_EQ(Settings().getInt(L"SoundRate"), 44100);
}

}  // namespace

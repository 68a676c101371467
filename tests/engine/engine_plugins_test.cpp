// engine_plugins_test.cpp - finding plug-ins in the "Emu" folder and the order
// of their emulators.
#include "engine/emulator_order.h"
#include "engine_fixture.h"

using EnginePluginsTest = EngineTest;

TEST_F(EnginePluginsTest, EmulatorsAreListedByNameWhateverTheFileOrder) {
    AddPlugin("Nes.so", "A.so");
    AddPlugin("Gba.so", "B.so");
    Emu::Engine& engine = StartEngine();
    EXPECT_EQ(EmulatorNames(), (std::vector<std::string>{"GameBoy Advance", "NES"}));
    EXPECT_TRUE(messages.empty());
    // RegisterResources is called before NewEmulator, and the module is kept.
    EXPECT_TRUE(EmulatorAt(0).GetSettings().getBoolean(L"Registered"));
    EXPECT_NE(engine.GetEmulator(0)->GetInstance(), nullptr);
    EXPECT_EQ(engine.GetEmulator(2), nullptr);
}

TEST_F(EnginePluginsTest, LibrariesWithoutAnEmulatorAddNothing) {
    AddPlugin("NoEntry.so");
    AddPlugin("NullEmulator.so");
    AddPlugin("Nes.so");
    Emu::Engine& engine = StartEngine();
    EXPECT_EQ(EmulatorNames(), std::vector<std::string>{"NES"});
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(engine.RunFile(L"/games/game.gba"));
}

TEST_F(EnginePluginsTest, AFileThatIsNoLibraryIsReportedAndTheOthersLoad) {
    AddPlugin("NotALibrary.so");
    AddPlugin("Nes.so");
    StartEngine();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Unable to load DLL:" + program_ + "/Emu/NotALibrary.so");
    EXPECT_EQ(EmulatorNames(), std::vector<std::string>{"NES"});
}

TEST_F(EnginePluginsTest, NoPluginFolderIsReportedAndNoFileRuns) {
    Emu::Engine& engine = StartEngine();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "No emulator DLL files were found at the path: " + program_ + "/Emu/*.so");
    EXPECT_EQ(engine.GetEmulatorCount(), 0);
    EXPECT_FALSE(engine.RunFile(L"/games/game.gba"));
    EXPECT_FALSE(engine.IsRunning());
}

TEST_F(EnginePluginsTest, OnlySharedLibraryNamesAreTried) {
    AddPlugin("Nes.so");
    std::filesystem::copy_file(std::string(TAMBORIL_TEST_PLUGINS) + "/NotALibrary.so", program_ + "/Emu/readme.txt");
    StartEngine();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(EmulatorNames(), std::vector<std::string>{"NES"});
}

TEST(EmulatorOrderTest, NamesSortWithoutCaseAndEqualNamesKeepTheirOrder) {
    EXPECT_EQ(Emu::NameOrder({L"NES", L"GameBoy Advance"}), (std::vector<int>{1, 0}));
    EXPECT_EQ(Emu::NameOrder({L"nes", L"Gb", L"NES", L"gb"}), (std::vector<int>{1, 3, 0, 2}));
    EXPECT_EQ(Emu::NameOrder({}), std::vector<int>{});
}

TEST(EmulatorOrderTest, NamesFromTheBoundOnGoLastInTheOrderFound) {
    // Nothing is below "ZZZZZZ" among the last two, so they keep their order.
    EXPECT_EQ(Emu::NameOrder({L"zzzzzzz", L"Sega", L"ZZZZZZB", L"ZZZZZZA"}), (std::vector<int>{1, 0, 2, 3}));
}

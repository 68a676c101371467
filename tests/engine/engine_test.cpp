// engine_test.cpp - the engine's road of a file, pause counting, settings that
// outlive the engine, the console and key messages.
#include <unistd.h>

#include <string>

#include "engine/registry.h"
#include "engine_fixture.h"
#include "lumaret/input.h"
#include "lumaret/keys.h"

class EngineRunTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        AddPlugin("Nes.so");
        AddPlugin("Gba.so");
        StartEngine();
        gba_ = &EmulatorAt(0);
        nes_ = &EmulatorAt(1);
        gba_->Calls();
        nes_->Calls();
    }
    // Starts "game.gba": the Game Boy Advance emulator becomes active.
    void RunGame() {
        ASSERT_TRUE(engine_->RunFile(L"/games/game.gba"));
        gba_->Calls();
    }

    TestEmulator* gba_ = nullptr;
    TestEmulator* nes_ = nullptr;
};

TEST_F(EngineRunTest, AFileGoesToTheFirstEmulatorThatTakesIt) {
    ASSERT_TRUE(engine_->RunFile(L"/games/game.nes"));
    EXPECT_EQ(engine_->GetActiveEmulator(), nes_);
    EXPECT_TRUE(engine_->IsRunning());
    EXPECT_EQ(gba_->Calls(), CString(L"RunFile /games/game.nes;"));
    EXPECT_EQ(engine_->GetFileName(), CString(L"/games/game.nes"));

    // Running another file stops this one first.
    ASSERT_TRUE(engine_->RunFile(L"/games/game.gba"));
    EXPECT_EQ(nes_->Calls(), CString(L"RunFile /games/game.nes;Stop;"));
    EXPECT_EQ(engine_->GetActiveEmulator(), gba_);
}

TEST_F(EngineRunTest, AFileNoEmulatorTakesLeavesNothingActiveButKeepsTheName) {
    EXPECT_FALSE(engine_->RunFile(L"/games/readme.txt"));
    EXPECT_EQ(engine_->GetActiveEmulator(), nullptr);
    EXPECT_FALSE(engine_->IsRunning());
    EXPECT_EQ(engine_->GetFileName(), CString(L"/games/readme.txt"));
}

TEST_F(EngineRunTest, QuotesAreStrippedAndRelativePathsMadeAbsolute) {
    ASSERT_TRUE(engine_->RunFile(L"\"/games/my game.gba\""));
    EXPECT_EQ(engine_->GetFileName(), CString(L"/games/my game.gba"));

    char current[4096];
    ASSERT_NE(getcwd(current, sizeof current), nullptr);
    ASSERT_TRUE(engine_->RunFile(L"\"game.gba"));
    EXPECT_EQ(engine_->GetFileName(), CString::FromUtf8(std::string(current) + "/game.gba"));
}

TEST_F(EngineRunTest, EmptyPathsAndBareQuotesRunNothing) {
    for (const wchar_t* path : {L"", L"\"", L"\"\""}) {
        EXPECT_FALSE(engine_->RunFile(path)) << CString(path).ToUtf8();
        EXPECT_EQ(gba_->Calls(), CString()) << "no emulator was asked";
        EXPECT_EQ(nes_->Calls(), CString());
    }
}

TEST_F(EngineRunTest, ShutdownStopsTheEmulatorAndClearsBothPauses) {
    RunGame();
    engine_->Pause();
    engine_->UserPause();
    engine_->Shutdown();
    EXPECT_EQ(gba_->Calls(), CString(L"Pause;Stop;"));
    EXPECT_FALSE(engine_->IsPaused());
    EXPECT_FALSE(engine_->IsUserPaused());
    EXPECT_FALSE(engine_->IsRunning());
    EXPECT_EQ(engine_->GetActiveEmulator(), nullptr);
    EXPECT_TRUE(engine_->GetFileName().IsEmpty());
}

TEST_F(EngineRunTest, PausesNestAndAnUnmatchedResumeDoesNothing) {
    RunGame();
    engine_->Resume();
    EXPECT_FALSE(engine_->IsPaused());
    engine_->Pause();
    engine_->Pause();
    engine_->Resume();
    EXPECT_TRUE(engine_->IsPaused());
    EXPECT_TRUE(gba_->IsPaused());
    engine_->Resume();
    EXPECT_FALSE(engine_->IsPaused());
    EXPECT_EQ(gba_->Calls(), CString(L"Pause;Resume;"));
    EXPECT_FALSE(gba_->IsPaused());
}

TEST_F(EngineRunTest, UserPauseAndPauseCountDoNotResumeEachOther) {
    RunGame();
    engine_->Pause();
    engine_->UserPause();  // already paused by the count: no second call
    engine_->Resume();     // count back to 0, but still user-paused
    EXPECT_EQ(gba_->Calls(), CString(L"Pause;"));
    EXPECT_TRUE(gba_->IsPaused());
    engine_->UserResume();
    EXPECT_EQ(gba_->Calls(), CString(L"Resume;"));

    engine_->UserPause();
    engine_->UserPause();
    engine_->Pause();       // user-paused: the count does not call again
    engine_->UserResume();  // the count still holds it
    EXPECT_EQ(gba_->Calls(), CString(L"Pause;"));
    engine_->Resume();
    EXPECT_EQ(gba_->Calls(), CString(L"Resume;"));
}

TEST_F(EngineRunTest, ResetResetsTheEmulatorAndEndsAUserPause) {
    RunGame();
    engine_->UserPause();
    engine_->Reset();
    EXPECT_EQ(gba_->Calls(), CString(L"Pause;Reset;Resume;"));
    EXPECT_FALSE(engine_->IsUserPaused());
}

TEST_F(EngineRunTest, SettingsOfTheEngineAndEachEmulatorOutliveTheEngine) {
    engine_->GetSettings().set(L"Volume", 35);
    engine_->GetSettings().set(L"ROMPath", CString(L"/roms"));
    engine_->GetSettings().set(L"FullScreen", true);  // not kept
    gba_->GetSettings().set(L"Value", 41);
    nes_->GetSettings().set(L"Value", 42);
    StopEngine();
    ContinueInCopy();
    StartEngine();
    EXPECT_EQ(engine_->GetSettings().getInt(L"Volume"), 35);
    EXPECT_EQ(engine_->GetSettings().getString(L"ROMPath"), CString(L"/roms"));
    EXPECT_FALSE(engine_->GetSettings().getBoolean(L"FullScreen"));
    EXPECT_EQ(EmulatorAt(0).GetSettings().getInt(L"Value"), 41);
    EXPECT_EQ(EmulatorAt(1).GetSettings().getInt(L"Value"), 42);

    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril\\GameBoyAdvance", false));
    EXPECT_EQ(registry.ReadInt(L"Value", 0), 41);
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril", false));
    EXPECT_EQ(registry.GetDataSize(L"Sound"), 4);
    EXPECT_TRUE(registry.ValueExists(L"InstallDir"));
    EXPECT_FALSE(registry.ValueExists(L"DesktopWidth"));
}

TEST_F(EngineRunTest, DefaultsComeFromTheDesktopAndTheProgramFolder) {
    PropertyMap& settings = engine_->GetSettings();
    EXPECT_EQ(settings.getInt(L"SoundBuffers"), 16);
    EXPECT_FALSE(settings.getBoolean(L"Sound"));
    EXPECT_TRUE(settings.getBoolean(L"VirtualPad"));
    EXPECT_EQ(settings.getString(L"BGFileName"), CString::FromUtf8(program_ + "/TamborilLogo.bmp"));
    EXPECT_EQ(settings.getString(L"ROMPath"), CString::FromUtf8(getenv("HOME") ? getenv("HOME") : ""));
    EXPECT_GT(settings.getInt(L"DesktopWidth"), 0);
    EXPECT_GT(settings.getInt(L"DesktopHeight"), 0);
    EXPECT_EQ(settings.getInt(L"ToolBarSize"), 24);
    EXPECT_EQ(settings.getInt(L"TaskBarSize"), 0);
    // Each emulator got its defaults once its library was loaded.
    EXPECT_EQ(gba_->GetSettings().getInt(L"Value"), 7);
}

TEST_F(EngineRunTest, NumbersFromAHandEditedStoreAreKeptInRange) {
    StopEngine();
    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril", true));
    registry.WriteInt(L"SoundBuffers", 0);
    registry.WriteInt(L"Volume", 100000);
    StartEngine();
    EXPECT_EQ(engine_->GetSettings().getInt(L"SoundBuffers"), 2);
    EXPECT_EQ(engine_->GetSettings().getInt(L"Volume"), 100);
}

TEST_F(EngineRunTest, ConsoleLinesEndInCarriageReturnLineFeed) {
    engine_->ResetConsole();
    engine_->PrintConsole(L"one\ntwo\n");
    Emu::ConsolePrintf("%s %d\n", "three", 3);
    EXPECT_EQ(engine_->GetConsole(), CString(L"one\r\ntwo\r\nthree 3\r\n"));
    engine_->ResetConsole();
    EXPECT_TRUE(engine_->GetConsole().IsEmpty());
}

TEST_F(EngineRunTest, ALongConsoleMessageIsCutAtTheBuffer) {
    engine_->ResetConsole();
    const std::string longText(3000, 'x');
    EXPECT_EQ(Emu::ConsolePrintf("%s", longText.c_str()), 0);
    EXPECT_EQ(engine_->GetConsole(), CString::FromUtf8(std::string(1023, 'x')));
}

TEST_F(EngineRunTest, KeyMessagesReachTheInput) {
    Lumaret::Input* input = engine_->GetInput();
    engine_->ProcessMessage(Lumaret::kKeyDownMessage, Lumaret::Vk::Left, 0);
    EXPECT_TRUE(input->IsKeyDown(Lumaret::Vk::Left));
    engine_->ProcessMessage(Lumaret::kKeyUpMessage, Lumaret::Vk::Left, 0);
    EXPECT_FALSE(input->IsKeyDown(Lumaret::Vk::Left));
    // A hot key carries its key in the high word; with double capture it goes down.
    input->SetDoubleCapture(true);
    engine_->ProcessMessage(Lumaret::kHotKeyMessage, 0, static_cast<LONG>(0x41u << 16));
    EXPECT_TRUE(input->IsKeyDown(0x41));
    engine_->ProcessMessage(0x0200, Lumaret::Vk::Up, 0);
    EXPECT_FALSE(input->IsKeyDown(Lumaret::Vk::Up));
}

TEST_F(EngineRunTest, MessagesGoThroughTheHook) {
    engine_->Message(L"Loading failed!");
    EXPECT_EQ(messages, std::vector<std::string>{"Loading failed!"});
}

TEST(ConsolePrintfTest, WithoutAnEngineTheTextGoesNowhere) {
    ASSERT_EQ(Emu::ourEngine, nullptr);
    EXPECT_EQ(Emu::ConsolePrintf("%d", 1), 0);
}

// kestrine_test.cpp - the plug-in library end to end: the engine finds
// Emu/Kestrine.so beside the program and runs the demo cartridge through it
// with picture, sound, keys, the on-screen pad, states, reset and stop, and
// keeps the plug-in's settings and takes new ones from its settings dialog;
// and the files it must refuse or fail.
#include <sys/wait.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSlider>
#include <QtTest/QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "engine/base_input.h"
#include "engine/base_sound.h"
#include "engine/base_video.h"
#include "engine/emulator.h"
#include "engine/error_text.h"
#include "engine/pad_skin.h"
#include "engine/pages/button_dlg.h"
#include "engine/pages/control_page.h"
#include "engine/pages/modal.h"
#include "engine/pages/speed_page.h"
#include "engine_fixture.h"
#include "lumaret/input.h"
#include "lumaret/window.h"
#include "platform/structured_exception.h"
#include "reference_image.h"

namespace {

namespace fs = std::filesystem;

// Key-list entries.
enum { Up, Down, Left, Right, Start, A, B, C, D, E };

// The demo's reviewed key script ("20:Right+Down+A,60:B,61:L+Start,62:L,
// 100:Select,101:-") in device keys: the device's B key is the console's A,
// its A key the console's B, C is Select and D is L. Start at frame 61 comes
// from the on-screen pad.
struct ScriptStep {
    int frame;
    std::vector<int> entries;
    bool padStart;
};
const ScriptStep Script[] = {{20, {Right, Down, B}, false},
                             {60, {A}, false},
                             {61, {D}, true},
                             {62, {D}, false},
                             {100, {C}, false},
                             {101, {}, false}};

std::string Reference(int frame) {
    return std::string(TAMBORIL_SOURCE_DIR) + "/tests/tools/reference/demo_frame" + std::to_string(frame) + ".png";
}

// Runs the headless runner; its exit status.
int RunHeadless(const std::string& arguments) {
    std::string command = std::string(TAMBORIL_BIN_DIR) + "/tamboril-run " + arguments + " > /dev/null";
    return WEXITSTATUS(std::system(command.c_str()));
}

// Whether any wave-out buffer of `sound` holds something other than silence.
struct SoundBuffers : Emu::BaseSound {
    static bool AnyHeard(Emu::BaseSound& sound) {
        for (const auto& buffer : sound.*(&SoundBuffers::buffers_))
            for (int i = 0; i < sound.GetBlockSize(); ++i)
                if (buffer[i] != 0x80) return true;
        return false;
    }
};

class Kestrine : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        gba = FindGba();
        ASSERT_NE(gba, nullptr) << "no GameBoy Advance among " << engine->GetEmulatorCount() << " emulators";
        gba->GetSettings().set(L"FrameSync", false);
        gba->GetSettings().set(L"FrameSkip", 1);
        demo = CopyDemo();
    }

    Emu::Emulator* FindGba() const {
        for (int i = 0; i < engine->GetEmulatorCount(); ++i)
            if (engine->GetEmulator(i)->GetName() == CString(L"GameBoy Advance")) return engine->GetEmulator(i);
        return nullptr;
    }

    std::vector<uint16_t> Frame() const { return ShownFrame(gba->GetVideo()->GetRenderRectangle()); }

    // Touches the visible pad where its area is Start, or lifts the stylus.
    void TouchPadStart(bool down) {
        engine->GetSettings().set(L"FullScreen", down);
        engine->GetSettings().set(L"VirtualPad", true);
        engine->UpdateSettings();
        Lumaret::Input* input = engine->GetInput();
        input->SetStylusDown(down);
        if (!down) return;
        CSize size = Emu::PadSkin::GetImageSize();
        Lumaret::Rect window{};
        engine->GetWindow()->GetRect(&window);
        const int offset = window.height - size.cy / 2;
        for (int y = 0; y < size.cy / 2; ++y)
            for (int x = 0; x < size.cx; ++x)
                if (Emu::PadSkin::CheckPad(x, y) & Emu::PadSkin::kStart) {
                    Lumaret::Point at{x, y + offset};
                    input->SetStylusPosition(&at);
                    return;
                }
        ADD_FAILURE() << "the pad has no Start area";
    }

    // Executes until `frame` frames have been shown, from frame `shown` on,
    // with the keys the script holds at each frame.
    void RunTo(int frame) {
        const Lumaret::KeyList keys = gba->GetKeyList();
        for (; shown < frame; ++shown) {
            const ScriptStep* step = &NoKeys;
            for (const ScriptStep& s : Script)
                if (s.frame <= shown) step = &s;
            if (step != applied) {
                for (int entry = 0; entry < 10; ++entry) Key(keys.keys[entry], false);
                for (int entry : step->entries) Key(keys.keys[entry], true);
                TouchPadStart(step->padStart);
                applied = step;
            }
            gba->Execute();
        }
    }
    // Continues a run at `frame`, e.g. after a state was loaded.
    void RestartAt(int frame) {
        shown = frame;
        applied = nullptr;
    }

    static inline const ScriptStep NoKeys{0, {}, false};
    Emu::Emulator* gba = nullptr;
    std::string demo;
    int shown = 0;
    const ScriptStep* applied = nullptr;
};

TEST_F(Kestrine, EngineFindsTheGameBoyAdvance) {
    EXPECT_EQ(gba->GetID(), CString(L"GameBoyAdvance"));
    EXPECT_EQ(gba->GetFileFilter(), CString(L"GameBoy Advance ROM (*.gba)|*.gba|"));
    EXPECT_NE(gba->GetInstance(), nullptr);
}

TEST_F(Kestrine, RunsTheDemoAsTheHeadlessRunnerDoes) {
    ASSERT_TRUE(engine->RunFile(CString::FromUtf8(demo)));
    EXPECT_EQ(engine->GetActiveEmulator(), gba);
    EXPECT_FALSE(gba->GetSound()->IsOpen()) << "the engine's Sound is off by default";
    for (int frame : {10, 90}) {
        RunTo(frame);
        ExpectMatchesReferenceImage(Reference(frame), Frame().data());
    }

    EXPECT_FALSE(gba->HasState());
    ASSERT_TRUE(gba->SaveState());
    EXPECT_TRUE(gba->HasState());
    EXPECT_TRUE(fs::exists(files.File("demo.STA")));
    RestartAt(90);  // saving paused the engine, which lets go of the keys: press them again
    RunTo(120);
    ExpectMatchesReferenceImage(Reference(120), Frame().data());
    ASSERT_TRUE(gba->LoadState());
    RestartAt(90);
    RunTo(120);
    ExpectMatchesReferenceImage(Reference(120), Frame().data());

    // After a reset the demo boots again and counts its second boot, as a
    // second run of the runner does.
    engine->Reset();
    RestartAt(0);
    RunTo(10);
    const std::string again = files.File("again/demo.gba");
    fs::create_directories(files.File("again"));
    fs::copy_file(demo, again);
    ASSERT_EQ(RunHeadless("--frames 5 " + again), 0);
    ASSERT_EQ(RunHeadless("--frames 10 --screenshot " + files.File("again/frame10.png") + " " + again), 0);
    ExpectMatchesReferenceImage(files.File("again/frame10.png"), Frame().data());

    engine->Shutdown();
    EXPECT_EQ(engine->GetActiveEmulator(), nullptr);
    const std::string battery = files.File("demo.sav");
    ASSERT_TRUE(fs::exists(battery)) << "written when the emulator stops";
    fs::remove(battery);
    gba->Stop();
    EXPECT_FALSE(fs::exists(battery)) << "a second stop shuts nothing down";
    EXPECT_FALSE(gba->HasState());

    ASSERT_TRUE(engine->RunFile(CString::FromUtf8(demo)));
    EXPECT_TRUE(gba->HasState()) << "the state file is found when the image starts";
}

TEST_F(Kestrine, SoundReachesTheWaveOutBuffers) {
    engine->GetSettings().set(L"Sound", true);
    ASSERT_TRUE(engine->RunFile(CString::FromUtf8(demo)));
    Emu::BaseSound& sound = *gba->GetSound();
    ASSERT_TRUE(sound.IsOpen()) << engine->GetConsole().ToUtf8();
    EXPECT_EQ(sound.GetRate(), 22050);
    RunTo(30);  // the tune has begun
    // The device plays in real time; buffers it has played are refilled at
    // the next frame's keypad read.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!SoundBuffers::AnyHeard(sound) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        RunTo(shown + 1);
    }
    EXPECT_TRUE(SoundBuffers::AnyHeard(sound));
}

TEST_F(Kestrine, SettingsAreKeptUnderTheirKey) {
    gba->GetSettings().set(L"SoundRate", 11025);
    gba->GetSettings().set(L"Noise", true);
    gba->GetSettings().set(L"FrameSkip", 5);
    Lumaret::KeyList keys = gba->GetKeyList();
    keys.keys[Start] = 'P';
    gba->SetKeyList(keys);
    engine.reset();  // saves the settings

    const std::string text = StoreText();
    const size_t section = text.find("[HKEY_CURRENT_USER\\Software\\Tamboril\\GameBoyAdvance]\n");
    ASSERT_NE(section, std::string::npos) << text;
    const std::string values = text.substr(section, text.find("\n[", section + 1) - section);
    for (const char* line : {"\"SoundRate\"=hex:11,2b,00,00\n", "\"Noise\"=hex:01,00,00,00\n",
                             "\"vkStart\"=hex:50,00,00,00\n", "\"PadSkin\"=\"GB|Tamboril Default\"\n"})
        EXPECT_NE(values.find(line), std::string::npos) << line << " in\n" << values;

    engine = std::make_unique<Emu::Engine>(view.get());
    gba = FindGba();
    ASSERT_NE(gba, nullptr);
    EXPECT_EQ(gba->GetSettings().getInt(L"SoundRate"), 11025);
    EXPECT_TRUE(gba->GetSettings().getBoolean(L"Noise"));
    EXPECT_EQ(gba->GetKeyList().keys[Start], 'P');
    EXPECT_EQ(gba->GetSettings().getInt(L"FrameSkip"), 1) << "not kept";
}

TEST_F(Kestrine, RefusesOtherFilesAndReportsFailedLoads) {
    engine->PrintConsole(L"earlier text");
    EXPECT_FALSE(engine->RunFile(CString::FromUtf8(files.File("demo.gb"))));
    EXPECT_EQ(engine->GetActiveEmulator(), nullptr);
    EXPECT_EQ(engine->GetConsole(), CString(L"earlier text")) << "a refused file changes nothing";
    EXPECT_TRUE(engine->RunFile(CString::FromUtf8(CopyDemo("CAPITALS.GBA"))));
    engine->Shutdown();

    const std::string damaged = CopyDemo("damaged.gba");
    std::vector<uint8_t> image = ReadFileBytes(damaged);
    image[0xBD] ^= 0xFF;  // the header check fails
    WriteFileBytes(damaged, image);
    for (const std::string& path : {files.File("missing.gba"), damaged}) {
        messages.clear();
        CString text;
        try {
            engine->RunFile(CString::FromUtf8(path));
        } catch (const StructuredException& e) {
            EXPECT_EQ(e.Code(), 0x6001u);
            // What the program's run loop does with it.
            if (EmuError(e.Code())) text = EmuErrorString(e.Code());
            engine->Shutdown();
        }
        EXPECT_EQ(messages, std::vector<std::string>{"Loading failed!"}) << path;
        EXPECT_EQ(text, CString(EmuErrorString(0x6001))) << path;
        EXPECT_FALSE(engine->IsRunning());
    }
}

TEST_F(Kestrine, LongUtf8PathsRunWhole) {
    std::string relative;  // six folders with "é" (two bytes in UTF-8) in their names
    for (int level = 0; level < 6; ++level) relative += std::string(90, 'd') + "\xC3\xA9/";
    const std::string path = CopyDemo(relative + "d\xC3\xA9mo.gba");
    ASSERT_GT(path.size(), 512u);
    ASSERT_TRUE(engine->RunFile(CString::FromUtf8(path)));
    RunTo(10);
    ExpectMatchesReferenceImage(Reference(10), Frame().data());
    ASSERT_TRUE(gba->SaveState());
    engine->Shutdown();
    const std::string stem = path.substr(0, path.size() - 4);
    EXPECT_TRUE(fs::exists(stem + ".STA"));
    EXPECT_TRUE(fs::exists(stem + ".sav"));
}

// The plug-in's settings dialog on the running demo: a new frame skip and a
// new key for the console's A hold from the next frame on, once the program
// has told the engine that the settings changed.
TEST_F(Kestrine, SettingsChangedInTheDialogHoldAtOnce) {
    ASSERT_TRUE(engine->RunFile(CString::FromUtf8(demo)));
    RunTo(30);
    // The demo's picture moves every frame; only shown frames change the view.
    auto changedFrames = [this](int count) {
        int changes = 0;
        std::vector<uint16_t> last = Frame();
        for (int i = 0; i < count; ++i) {
            gba->Execute();
            std::vector<uint16_t> now = Frame();
            changes += now != last;
            last = std::move(now);
        }
        return changes;
    };
    EXPECT_EQ(changedFrames(10), 10);

    const Emu::ModalFunction saved = Emu::ModalHook();
    Emu::ModalHook() = [](QDialog& dialog) {
        if (auto* capture = qobject_cast<Emu::CButtonDlg*>(&dialog)) {
            QTest::keyClick(capture, Qt::Key_Q);
            return capture->result();
        }
        dialog.findChild<QSlider*>(Emu::ControlName(Emu::CSpeedPage::kFrameSkip))->setValue(5);
        const int recordA = Emu::CControlPage::RecordButtonId(Emu::CControlPage::kA);
        dialog.findChild<QPushButton*>(Emu::ControlName(recordA))->click();
        dialog.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
        return dialog.result();
    };
    // What the program does around the plug-in's settings.
    engine->Pause();
    gba->ShowSettings();
    engine->UpdateSettings();
    engine->Resume();
    Emu::ModalHook() = saved;

    EXPECT_EQ(gba->GetSettings().getInt(L"FrameSkip"), 5);
    EXPECT_EQ(changedFrames(10), 2) << "one frame in five shown";
    const uint16_t oldA = engine->GetInput()->GetDefaultKeys()->keys[B];
    Key(oldA, true);
    EXPECT_EQ(gba->GetInput()->GetState() & 0x0001, 0u) << "the old key no longer presses A";
    Key(oldA, false);
    Key('Q', true);
    EXPECT_EQ(gba->GetInput()->GetState() & 0x0001, 1u) << "the new key presses A";
    Key('Q', false);
}

}  // namespace

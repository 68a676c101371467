// fast_forward_test.cpp - Tab held runs the demo unpaced, with the sound ring
// at its fixed size, and its release paces it again at once; Shift+Tab
// toggles; a window losing the focus lets go of a held Tab.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "desktop_fixture.h"
#include "engine/base_sound.h"
#include "engine/base_video.h"
#include "engine/host_hooks.h"
#include "lumaret/input.h"
#include "lumaret/wave_out.h"

namespace {

// The rates of the frame-rate line and the blocks the sound device holds.
struct Peek : Emu::BaseVideo, Emu::BaseSound {
    static int EmulatedRate(Emu::BaseVideo& video) { return video.*(&Peek::emulatedRate_); }
    static int BlocksQueued(Emu::BaseSound& sound) {
        int queued = 0;
        for (int i = 0; i < sound.GetBufferCount(); ++i)
            if ((sound.*(&Peek::headers_))[i].flags & Lumaret::kWaveHeaderInQueue) ++queued;
        return queued;
    }
};

class FastForwardTest : public DesktopTest {
protected:
    // Frames emulated per second of wall time over `seconds`; the most
    // blocks the sound device held meanwhile go to `mostQueued`.
    double FramesPerSecond(double seconds, int* mostQueued = nullptr) {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        int frames = 0;
        double elapsed = 0;
        while (elapsed < seconds) {
            RunFrames(1);
            ++frames;
            if (mostQueued) *mostQueued = std::max(*mostQueued, Peek::BlocksQueued(*Gba()->GetSound()));
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        }
        return frames / elapsed;
    }
};

TEST_F(FastForwardTest, HoldingTabRunsTheDemoAtLeastFiveTimesFasterWithoutASoundBacklog) {
    Engine().GetSettings().set(L"Sound", true);
    Engine().GetSettings().set(L"Debug", true);
    RunDemo(CopyDemo(), 1);
    ASSERT_TRUE(Gba()->GetSound()->IsOpen()) << "no sound device on SDL's dummy driver";

    const double paced = FramesPerSecond(0.5);
    Key(Qt::Key_Tab, true);
    EXPECT_TRUE(Emu::IsFastForward());
    int mostQueued = 0;
    const double fast = FramesPerSecond(1.5, &mostQueued);
    const int shownRate = Peek::EmulatedRate(*Gba()->GetVideo());
    Key(Qt::Key_Tab, false);
    EXPECT_FALSE(Emu::IsFastForward());
    const double pacedAgain = FramesPerSecond(0.5);

    std::printf(
        "paced %.1f, fast-forward %.1f, paced again %.1f frames a second; VFPS %d; at most %d of %d "
        "sound blocks queued\n",
        paced, fast, pacedAgain, shownRate, mostQueued, Gba()->GetSound()->GetBufferCount());
    EXPECT_LT(paced, 75.0);
    EXPECT_GE(fast, 5 * paced);
    EXPECT_GT(shownRate, 120) << "the frame-rate line shows the higher rate";
    EXPECT_LT(pacedAgain, 75.0);
    EXPECT_LE(mostQueued, Gba()->GetSound()->GetBufferCount());
}

TEST_F(FastForwardTest, ShiftTabTogglesAndALostFocusLetsGoOfAHeldTab) {
    Key(Qt::Key_Backtab, true, Qt::ShiftModifier);
    Key(Qt::Key_Backtab, false, Qt::ShiftModifier);
    EXPECT_TRUE(Emu::IsFastForward()) << "Shift+Tab switches it on";
    Key(Qt::Key_Tab, true);
    Key(Qt::Key_Tab, false);
    EXPECT_TRUE(Emu::IsFastForward()) << "a Tab press does not end a toggled fast-forward";
    Key(Qt::Key_Backtab, true, Qt::ShiftModifier);
    EXPECT_FALSE(Emu::IsFastForward()) << "Shift+Tab again switches it off";
    Key(Qt::Key_Backtab, false, Qt::ShiftModifier);

    Key(Qt::Key_Tab, true);
    EXPECT_TRUE(Emu::IsFastForward());
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(frame.get(), &deactivate);
    EXPECT_FALSE(Emu::IsFastForward());
}

TEST_F(FastForwardTest, TheHotKeysNeverReachTheEmulatorsKeys) {
    RunDemo(CopyDemo(), 1);
    Key(Qt::Key_Tab, true);
    EXPECT_FALSE(Engine().GetInput()->IsKeyDown(0x09));
    Key(Qt::Key_Tab, false);
}

}  // namespace

// base_video.cpp - frame pacing against real time, the render rectangle and
// the presentation of finished frames with the frame-rate line.
#include "engine/base_video.h"

#include <algorithm>
#include <cstdio>

#include "engine/emulator.h"
#include "engine/engine.h"
#include "engine/host_hooks.h"
#include "engine/setting_ranges.h"
#include "lumaret/display.h"
#include "lumaret/window.h"

namespace Emu {

namespace {

// While more than this remains of the wait, it sleeps between counter reads.
constexpr double kSleepAboveMicroseconds = 2000.0;
constexpr double kSleepStepSeconds = 0.001;

bool IsEmpty(const Lumaret::Rect& rect) { return rect.width <= 0 || rect.height <= 0; }

bool SameSize(const Lumaret::Rect& a, const Lumaret::Rect& b) { return a.width == b.width && a.height == b.height; }

}  // namespace

BaseVideo::BaseVideo(Emulator* emulator) : emulator_(emulator) {}

// Close is pure here: a subclass's destructor closes what its Open made.
BaseVideo::~BaseVideo() = default;

void BaseVideo::Open() {
    ResetSyncTimer();
    UpdateSettings();
}

void BaseVideo::Close() {}

void BaseVideo::UpdateSettings() {
    if (ourEngine) {
        debug_ = ourEngine->GetSettings().getBoolean(L"Debug");
        fitToWindow_ = ourEngine->GetSettings().getBoolean(L"FitToWindow");
        sharpScale_ = ourEngine->GetSettings().getBoolean(L"SharpScale");
    }
    if (emulator_) {
        frameSpeed_ = kFrameSpeedRange.Clamp(emulator_->GetSettings().getInt(L"FrameSpeed"));
        frameSync_ = emulator_->GetSettings().getBoolean(L"FrameSync");
    }
    lastSource_ = {};
}

bool BaseVideo::IsOpen() const { return ourEngine && ourEngine->GetDisplay() && ourEngine->GetDisplay()->IsActive(0); }

void BaseVideo::Pause() {
    if (ourEngine && ourEngine->GetDisplay()) ourEngine->GetDisplay()->Pause(0);
}

void BaseVideo::Resume() {
    ResetSyncTimer();
    if (ourEngine && ourEngine->GetDisplay()) ourEngine->GetDisplay()->Resume();
}

void BaseVideo::ResetSyncTimer() {
    pendingFrames_ = 0;
    fraction_ = 0.0;
    displayedFrames_ = 0;
    emulatedFrames_ = 0;
    displayedRate_ = 0;
    emulatedRate_ = 0;
    syncTimer_.Begin();
    rateTimer_.Begin();
    UpdateSettings();
}

CPreciseTimer::Clock BaseVideo::SetClock(const CPreciseTimer::Clock& clock) { return CPreciseTimer::SetClock(clock); }

double BaseVideo::FramePeriod() const { return frameSpeed_ * 1700.0 + 16666.66667; }

void BaseVideo::UpdatePendingFrames() {
    const double x = syncTimer_.End() * 1000000.0 / FramePeriod() + fraction_;
    if (x >= 1.0) {
        const int whole = static_cast<int>(x);
        pendingFrames_ += whole;
        fraction_ = x - whole;
        syncTimer_.Begin();
    }
}

// Frame sync waits until as many frame periods have passed as frames were
// emulated since the last presentation (frameSkip), so a game runs at real
// time whatever its frame skip.
//
//   wait:  UpdatePendingFrames; enough periods? -> take them (skip = k - 1)
//          paused or no longer running? -> false
//          more than 2 ms to go? -> sleep 1 ms; poll again
bool BaseVideo::SyncVideo(int& skip, int frameSkip) {
    frameSkip = kFrameSkipRange.Clamp(frameSkip);
    if (syncTimer_.IsValid() && frameSync_ && !IsFastForward()) {
        for (;;) {
            if ((emulator_ && emulator_->IsPaused()) || !ourEngine || !ourEngine->IsRunning()) return false;
            UpdatePendingFrames();
            if (pendingFrames_ >= frameSkip) break;
            const double elapsed = syncTimer_.End() * 1000000.0 / FramePeriod() + fraction_;
            const double remaining = (frameSkip - pendingFrames_ - elapsed) * FramePeriod();
            if (remaining > kSleepAboveMicroseconds) CPreciseTimer::Sleep(kSleepStepSeconds);
        }
        const int k = pendingFrames_;
        if (k <= frameSkip) {
            pendingFrames_ = 0;
            emulatedFrames_ += k;
            skip = k - 1;
            return true;
        }
    }
    // No counter, no frame sync, fast-forward, or more periods passed than
    // frames were emulated: the excess is dropped, not caught up.
    pendingFrames_ = 0;
    emulatedFrames_ += frameSkip;
    skip = frameSkip - 1;
    return true;
}

void BaseVideo::GetRenderRect(int width, int height, Lumaret::Rect* rect) {
    if (!emulator_ || !ourEngine || !ourEngine->GetWindow() || !rect) return;
    const Lumaret::Rect client = *ourEngine->GetWindow()->GetClientRect();
    *rect = client;
    if (width <= 0 || height <= 0) return;
    int w = width, h = height;
    const int scale = kScreenScaleRange.Clamp(emulator_->GetSettings().getInt(L"ScreenScale"));
    if (sharpScale_) {
        // The largest whole multiple that fits keeps every pixel square; a
        // client smaller than the picture gets it at its own size.
        const int multiple = std::max(1, std::min(client.width / width, client.height / height));
        w = width * multiple;
        h = height * multiple;
    } else if (fitToWindow_) {
        return;
    } else if (scale > 0) {
        const int step = ourEngine->GetSettings().getInt(L"DesktopHeight") < 321 ? 8 : 16;
        // Candidates from the largest down; the image's own size when none fits.
        for (int c = width + step * scale; c > width; c -= step) {
            w = c;
            h = static_cast<int>(static_cast<float>(c) * static_cast<float>(height) / static_cast<float>(width));
            if (w <= client.width && h <= client.height) break;
            w = width;
            h = height;
        }
    }
    *rect = {client.x + ((client.width - w) >> 1), client.y + ((client.height - h) >> 1), w, h};
}

void BaseVideo::PutImage(Lumaret::Rect& source) {
    frameRect_ = source;
    if (!ourEngine || !ourEngine->GetWindow()) return;
    Lumaret::Window* window = ourEngine->GetWindow();
    Lumaret::Rect client = *window->GetClientRect();
    Lumaret::Rect shown = source;
    if (!fitToWindow_) {
        // A source larger than the client loses equal parts on both sides.
        if (const int d = shown.width - client.width; d > 0) {
            shown.width -= d;
            shown.x += d / 2;
        }
        if (const int d = shown.height - client.height; d > 0) {
            shown.height -= d;
            shown.y += d / 2;
        }
    }
    // A minimised window still paces the emulation but shows nothing.
    const bool drawable = surface_ && !IsEmpty(client) && !IsEmpty(shown);
    if (drawable && (!SameSize(shown, lastSource_) || !SameSize(client, lastClient_))) {
        lastSource_ = shown;
        lastClient_ = client;
        GetRenderRect(shown.width, shown.height, &renderRect_);
    }
    if (drawSafe_) {
        if (drawable) {
            Lumaret::GDI::Window safe(ourEngine->GetNativeWindow());
            safe.SetViewRect(&client);
            safe.DrawSurface(surface_, shown.x, shown.y, shown.width, shown.height, renderRect_.x, renderRect_.y,
                             renderRect_.width, renderRect_.height);
        }
    } else {
        if (!SyncFrame()) return;
        if (drawable)
            window->DrawSurface(surface_, shown.x, shown.y, shown.width, shown.height, renderRect_.x, renderRect_.y,
                                renderRect_.width, renderRect_.height);
    }
    CountFrame(window);
}

void BaseVideo::CountFrame(Lumaret::Window* window) {
    ++displayedFrames_;
    if (rateTimer_.End() >= 1.0) {
        if (displayedRate_ != 0 && emulatedRate_ != 0) {
            displayedRate_ = (displayedFrames_ + displayedRate_) >> 1;
            emulatedRate_ = (emulatedFrames_ + emulatedRate_) >> 1;
        } else {
            displayedRate_ = 60;
            emulatedRate_ = 60;
        }
        displayedFrames_ = 0;
        emulatedFrames_ = 0;
        rateTimer_.Begin();
    }
    if (debug_) {
        wchar_t text[64];
        std::swprintf(text, sizeof text / sizeof text[0], L"VFPS: %d AFPS: %d    ", emulatedRate_, displayedRate_);
        window->DrawText(10, 8, text);
    }
}

}  // namespace Emu

// base_video.h - Emu::BaseVideo, the video side every plug-in derives from:
// frame pacing against real time, the render rectangle in the window, the
// presentation of a finished frame and the frame-rate line.
//
// Pacing: SyncVideo counts whole frame periods of real time ("pending
// frames") and lets the caller present a frame once as many periods have
// passed as frames were emulated since the last one (frameSkip); with frame
// sync on it waits for that (sleeping in short steps while more than about
// 2 ms remain, then polling).
#pragma once

#include "engine/marrowby_api.h"
#include "lumaret/types.h"
#include "platform/precise_timer.h"

namespace Lumaret {
class Surface;
class Window;
}  // namespace Lumaret

namespace Emu {

class Emulator;

class MARROWBY_API BaseVideo {
public:
    explicit BaseVideo(Emulator* emulator);
    // Virtual operations in the order of the plug-in contract.
    virtual ~BaseVideo();
    // ResetSyncTimer, then UpdateSettings. A subclass creates its surface first.
    virtual void Open();
    // Releases what Open made. The base destructor does not call it: a
    // subclass's destructor does.
    virtual void Close() = 0;
    // Reads Debug, FrameSpeed, FrameSync and FitToWindow; forgets the last
    // source so the next PutImage recomputes the render rectangle.
    virtual void UpdateSettings();
    // Crops, places, paces and draws the surface rectangle `source`, then
    // counts the frame for the frame-rate line.
    virtual void PutImage(Lumaret::Rect& source);
    virtual void Redraw() = 0;
    virtual void SetColour(int index, int red, int green, int blue) = 0;
    virtual bool SyncFrame() = 0;

    // False without an engine; else whether the display is active.
    bool IsOpen() const;
    void Pause();
    // Restarts pacing (time spent paused is not caught up), resumes the display.
    void Resume();
    void SetDrawSafe(bool drawSafe) { drawSafe_ = drawSafe; }
    // Replaces the clock the pacing reads and sleeps on (the engine library
    // keeps its own); returns the one it replaces. For tests.
    static CPreciseTimer::Clock SetClock(const CPreciseTimer::Clock& clock);
    Lumaret::Surface* GetSurface() const { return surface_; }
    // The surface rectangle the last PutImage was given (empty before the
    // first): where the emulated screen is, for screenshots.
    const Lumaret::Rect& GetFrameRect() const { return frameRect_; }
    const Lumaret::Rect& GetRenderRectangle() const { return renderRect_; }
    // Microseconds per frame at the current FrameSpeed (0: 60 frames a second,
    // each step 1.7 ms longer).
    double FramePeriod() const;

protected:
    void ResetSyncTimer();
    // Waits (frame sync on) until a frame may be shown; `skip` receives how
    // many frames the caller may leave undrawn before its next PutImage.
    // False, without waiting longer, once the emulator is paused or the
    // engine no longer runs.
    bool SyncVideo(int& skip, int frameSkip);
    void UpdatePendingFrames();
    void GetRenderRect(int width, int height, Lumaret::Rect* rect);
    // Counts a presented frame, updates the rates once a second and, with
    // Debug on, draws the frame-rate line.
    void CountFrame(Lumaret::Window* window);

    Emulator* emulator_;
    Lumaret::Surface* surface_ = nullptr;  // owned by the subclass
    CPreciseTimer syncTimer_;
    int pendingFrames_ = 0;
    double fraction_ = 0.0;
    CPreciseTimer rateTimer_;
    int displayedFrames_ = 0;
    int emulatedFrames_ = 0;
    int displayedRate_ = 0;
    int emulatedRate_ = 0;
    Lumaret::Rect renderRect_{};
    bool debug_ = false;
    int frameSpeed_ = 0;
    bool frameSync_ = true;
    Lumaret::Rect lastSource_{};
    Lumaret::Rect lastClient_{};
    bool drawSafe_ = false;
    bool fitToWindow_ = false;
    bool sharpScale_ = false;  // engine SharpScale: whole multiples, centred
    Lumaret::Rect frameRect_{};
};

}  // namespace Emu

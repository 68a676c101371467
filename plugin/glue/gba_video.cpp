// gba_video.cpp - the video output: surface, colour tables and frame hand-over.
#include "gba_video.h"

#include "engine/emulator.h"
#include "engine/engine.h"
#include "lumaret/display.h"
#include "lumaret/surface.h"
#include "lumaret/wince.h"
#include "machine/scanline.h"
#include "video/renderer.h"

namespace {

GbaVideo* TheVideo = nullptr;

// The renderer writes rows of SurfaceWidth 16-bit pixels back to back.
bool FitsRenderer(Lumaret::Surface* surface) {
    return surface && surface->GetBytesPerPixel() == 2 && surface->GetWidth() == SurfaceWidth &&
           surface->GetHeight() == SurfaceHeight && surface->GetPitch() == SurfaceWidth * 2;
}

}  // namespace

GbaVideo::GbaVideo(Emu::Emulator* emulator) : BaseVideo(emulator) { TheVideo = this; }

GbaVideo::~GbaVideo() {
    Close();
    if (TheVideo == this) TheVideo = nullptr;
}

GbaVideo::SurfaceMaker& GbaVideo::SurfaceHook() {
    static SurfaceMaker maker = Lumaret::WinCE::CreateSurface;
    return maker;
}

void GbaVideo::Open() {
    Lumaret::Display* display = Emu::ourEngine->GetDisplay();
    display->Open();
    surface_ = SurfaceHook()(SurfaceWidth, SurfaceHeight, display->GetBitDepth());
    if (!FitsRenderer(surface_)) {
        delete surface_;
        surface_ = nullptr;
        FrameSurface = nullptr;
        Emu::ourEngine->Message(L"GBA: Unable to create emulator video surface.");
        emulator_->Stop();
        return;
    }
    // The pixel memory stays put while the surface lives.
    FrameSurface = surface_->Lock();
    surface_->Unlock();
    BaseVideo::Open();
    for (uint32_t i = 0; i < 65536; ++i) {
        SpreadTable[i] = SpreadColour(i);
        SetColour(static_cast<int>(i), i & 31, Green6((i >> 5) & 31), (i >> 10) & 31);
    }
}

void GbaVideo::Close() {
    FrameSurface = nullptr;
    delete surface_;
    surface_ = nullptr;
    if (Emu::ourEngine) Emu::ourEngine->GetDisplay()->Close();
}

void GbaVideo::Redraw() {
    if (!surface_ || !IsOpen() || !Emu::ourEngine->IsRunning()) return;
    SetDrawSafe(true);
    PresentFrame();
    SetDrawSafe(false);
}

void GbaVideo::SetColour(int index, int red, int green, int blue) {
    ColourTable[index & 0xFFFF] =
        Rgb565(static_cast<uint32_t>(red), static_cast<uint32_t>(green), static_cast<uint32_t>(blue));
}

bool GbaVideo::SyncFrame() { return SyncVideo(FrameSkipCountdown, FrameSkip); }

void GbaVideo::Present() {
    if (!TheVideo || !TheVideo->surface_) return;
    Lumaret::Rect visible{SurfaceLeft, 0, ScreenWidth, ScreenHeight};
    TheVideo->PutImage(visible);
}

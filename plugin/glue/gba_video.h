// gba_video.h - GbaVideo, the plug-in's video output: the 500 x 160 surface the
// scanline renderer draws into, the renderer's colour tables for the display,
// and the hand-over of each finished frame to the engine's presentation.
#pragma once

#include "engine/base_video.h"

namespace Lumaret {
class Surface;
}

class GbaVideo : public Emu::BaseVideo {
public:
    // Becomes the process-wide video object the renderer presents through.
    explicit GbaVideo(Emu::Emulator* emulator);
    ~GbaVideo() override;
    // Opens the display, creates the surface and fills the colour tables. A
    // surface that cannot be made, or is not 2 bytes a pixel with exactly 500
    // pixels a row, is refused: the message "GBA: Unable to create emulator
    // video surface." is shown, FrameSurface stays null and the emulator stops.
    void Open() override;
    // Deletes the surface, clears FrameSurface and closes the display.
    void Close() override;
    // Presents the last frame again while a file runs and the surface exists.
    void Redraw() override;
    // One entry of the renderer's colour table: RGB565 of the components.
    void SetColour(int index, int red, int green, int blue) override;
    // Frame pacing with the machine's frame-skip countdown and FrameSkip.
    bool SyncFrame() override;

    // The renderer's present hook: the visible 240 x 160 of the surface to PutImage.
    static void Present();

    // How Open makes its surface (width, height, bits per pixel); tests
    // replace it to refuse one. The default is the display library's.
    using SurfaceMaker = Lumaret::Surface* (*)(int width, int height, int bitsPerPixel);
    static SurfaceMaker& SurfaceHook();
};

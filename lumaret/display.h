// display.h - the screen as the emulator sees it: its depth and whether it may
// be drawn on now.
//
// States: closed --Open--> open --Pause--> paused --Resume--> open; Close from
// either returns to closed. Only the open state is active.
#pragma once

#include "types.h"

namespace Lumaret {

class LUMARET_API Display {
public:
    virtual ~Display();
    // Bits per pixel of the surfaces the window draws: always 16 (RGB565); the
    // window converts them to the screen's own format.
    virtual int GetBitDepth();
    virtual void Open();
    virtual void Close();
    virtual bool IsActive(int flags = 0);
    virtual void Pause(int flags = 0);
    virtual void Resume();

private:
    bool open_ = false;
    bool paused_ = false;
};

}  // namespace Lumaret

// fast_forward.h - the fast-forward hot keys: while Tab is held, or after
// Shift+Tab switched it on until Shift+Tab again, the engine paces no frame
// (as with FrameSync off). The sound ring keeps its fixed number of blocks, so
// no backlog of sound builds up; releasing Tab paces the next frame again.
#pragma once

namespace App {

class CFastForward {
public:
    ~CFastForward();

    // Tab pressed and released (auto-repeats are left out by the caller).
    void Hold();
    void Release();
    // Shift+Tab.
    void Toggle();
    bool IsOn() const { return held_ || toggled_; }

private:
    void Apply();

    bool held_ = false;
    bool toggled_ = false;
};

}  // namespace App

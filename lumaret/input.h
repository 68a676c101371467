// input.h - the state of the keys (by virtual-key code) and of the stylus, fed by
// the program from its window's key and pointer events.
//
// A key is down from SetKey(key, true) until SetKey(key, false). Codes outside
// 1..255 are never down and are never stored. Pausing or closing releases every
// key, so a key held while the window lost the focus (its release went to another
// window) does not stay down.
#pragma once

#include <array>
#include <cstdint>

#include "keys.h"
#include "types.h"

namespace Lumaret {

class LUMARET_API Input {
public:
    Input();
    virtual ~Input();
    virtual void Open();
    virtual void Close();
    virtual void Pause();
    virtual void Resume();
    virtual void SetKey(int key, bool down);
    virtual bool IsKeyDown(int key);
    // The desktop layout (see README): arrows for the pad, Return for Start, Z and
    // X for the keys in the A and B places (the Game Boy Advance plug-in wires them
    // to its B and A buttons), Backspace, A and S for C, D and E (Select, L, R); the
    // spare entry is 0 (no key). The list belongs to the input object.
    virtual KeyList* GetDefaultKeys();
    // A hot-key message for `key`: with double capture on, the key goes down as if
    // pressed (its release arrives as an ordinary key-up); otherwise, or for any
    // other message, nothing happens.
    virtual void OnHotKey(int key, uint32_t message);
    // Whether hardware keys are taken both as hot keys and as key messages.
    virtual void SetDoubleCapture(bool on);
    virtual void SetStylusPosition(Point* position);
    // The last position set; the point belongs to the input object.
    virtual Point* GetStylusPosition();
    virtual void SetStylusDown(bool down);
    virtual bool IsStylusDown();

    bool IsOpen() const { return open_; }
    bool IsPaused() const { return paused_; }
    bool IsDoubleCapture() const { return doubleCapture_; }
    // Applies a stylus event as the view's handlers do: down and up set the
    // stylus state and then the position, a move only the position.
    void Feed(const StylusEvent& event);

private:
    void ReleaseKeys();

    std::array<bool, 256> down_{};
    KeyList defaultKeys_;
    bool open_ = false;
    bool paused_ = false;
    bool doubleCapture_ = false;
    Point stylus_{};
    bool stylusDown_ = false;
};

}  // namespace Lumaret

// base_input.h - Emu::BaseInput, the input side every plug-in derives from: a
// key map from device keys and on-screen pad areas to the emulated machine's
// button bits, read once per emulated frame with GetState.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/marrowby_api.h"

namespace Emu {

class Emulator;

class MARROWBY_API BaseInput {
public:
    explicit BaseInput(Emulator* emulator);
    // Virtual operations in the order of the plug-in contract.
    virtual ~BaseInput();
    // Pad active <- engine FullScreen and VirtualPad; passes the engine's
    // DoubleInputCapture to the input object. Subclasses rebuild the key map
    // first, then call this.
    virtual void UpdateSettings();

    // The display library input object's open, then UpdateSettings.
    void Open();
    void Close();
    void Pause();
    void Resume();
    void ClearKeyMap();
    void RegisterKey(int mask, int padBit, short key);
    // Button bits of the keys down now (a later entry for the same bit
    // overrides an earlier one), plus those of the pad areas under the stylus
    // while the pad is active, plus those of the pad bits the program's pad
    // source holds (host_hooks.h).
    uint32_t GetState();

protected:
    struct KeyMapEntry {
        uint32_t mask;
        uint32_t padBit;
        int16_t key;
    };
    Emulator* emulator_;
    uint32_t state_ = 0;
    bool padActive_ = false;
    std::vector<KeyMapEntry> keyMap_;

private:
    // The buttons of every entry whose pad bit is among `padBits`.
    uint32_t PadButtons(uint32_t padBits) const;
};

}  // namespace Emu

// gba_input.h - GbaInput, the plug-in's input: the emulator's ten keys and the
// on-screen pad's ten areas mapped to the console's ten buttons, and the
// keypad read the machine makes once per frame.
#pragma once

#include <cstdint>

#include "engine/base_input.h"

class GbaInput : public Emu::BaseInput {
public:
    // Becomes the process-wide input object the keypad read uses.
    explicit GbaInput(Emu::Emulator* emulator);
    ~GbaInput() override;
    // Rebuilds the key map from the emulator's key list, then the base's settings.
    void UpdateSettings() override;

    // The keypad read when line 160 begins: refills the free sound buffers
    // first, then returns the pressed buttons (bit set = pressed, 16 bits).
    static uint32_t ReadKeypad();
};

// key_script.h - scripted keypad input: "FRAME:KEYS" items separated by commas.
//
// KEYS is a '+'-joined subset of A, B, Select, Start, Right, Left, Up, Down, R, L,
// or '-' for none. Each item holds from its frame (the 0-based number of the
// vertical blank at which the keypad is read) until the next item's frame.
// Example: "10:Start,12:-,30:Right+A,60:-".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Headless {

class KeyScript {
public:
    // Parses a script; false (with a reason in `error`) when it is malformed.
    bool Parse(const std::string& text, std::string& error);
    // Keypad bits (set = pressed) in force at a frame.
    uint32_t KeysAt(uint64_t frame) const;

private:
    struct Item {
        uint64_t frame;
        uint32_t keys;
    };
    std::vector<Item> items_;  // ascending frames
};

}  // namespace Headless

// key_script.h - scripted keypad input: "FRAME:KEYS" items separated by commas.
//
// KEYS is a '+'-joined subset of A, B, Select, Start, Right, Left, Up, Down, R, L,
// or '-' for none. Each item holds from its frame (the 0-based number of the
// vertical blank at which the keypad is read, 0 to FrameLimit) until the next
// item's frame.
// Example: "10:Start,12:-,30:Right+A,60:-".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Headless {

// The largest frame number, and frame count, a run takes.
constexpr uint64_t FrameLimit = 2147483647;

// A decimal number of digits only (no sign, no spaces) from 0 to `high`;
// false for anything else, including values past `high`.
bool ParseDecimal(const std::string& text, uint64_t high, uint64_t& value);

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

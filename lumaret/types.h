// types.h - the small value types that cross the boundary of the display library.
//
// Integer widths follow the handheld interface this library stands in for: every
// field is 32-bit (or 16-bit for key codes), never `long`.
#pragma once

#include <cstdint>

#define LUMARET_API __attribute__((visibility("default")))

namespace Lumaret {

// A rectangle as position and size, in window (or surface) pixels.
struct Rect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};
static_assert(sizeof(Rect) == 16);

// A stylus position in view pixels.
struct Point {
    int32_t x;
    int32_t y;
};
static_assert(sizeof(Point) == 8);

// Eleven 16-bit virtual-key codes: up, down, left, right, start, A, B, C, D, E
// and one spare, in that order. Copied whole (22 bytes) by its users.
struct KeyList {
    static constexpr int kCount = 11;
    uint16_t keys[kCount];
};
static_assert(sizeof(KeyList) == 22);

}  // namespace Lumaret

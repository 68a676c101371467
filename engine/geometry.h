// geometry.h - the handheld framework's point, size and rectangle values, as
// the settings store keeps them (32-bit fields).
#pragma once

#include "platform/handheld_types.h"

struct CPoint {
    LONG x = 0, y = 0;
    bool operator==(const CPoint&) const = default;
};

struct CSize {
    LONG cx = 0, cy = 0;
    bool operator==(const CSize&) const = default;
};

struct CRect {
    LONG left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const CRect&) const = default;
};

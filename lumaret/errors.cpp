// errors.cpp - texts of the display library's exception codes.
#include "errors.h"

uint32_t LumaretError(uint32_t code) { return code >= Lumaret::kErrorNoView && code <= Lumaret::kErrorDepth; }

const wchar_t* LumaretErrorString(uint32_t code) {
    switch (code) {
    case Lumaret::kErrorNoView: return L"Lumaret: The display window has no view to draw into.";
    case Lumaret::kErrorNoSurface: return L"Lumaret: Unable to create a drawing surface.";
    case Lumaret::kErrorDepth: return L"Lumaret: The display's colour depth is not supported.";
    default: return L"Lumaret: Unknown error.";
    }
}

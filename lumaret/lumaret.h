// lumaret.h - the whole display library: window, surfaces, display, input,
// key translation, error texts and the wave-out device.
#pragma once

#include "lumaret/display.h"
#include "lumaret/errors.h"
#include "lumaret/input.h"
#include "lumaret/keys.h"
#include "lumaret/surface.h"
#include "lumaret/types.h"
#include "lumaret/wave_out.h"
#include "lumaret/wince.h"
#include "lumaret/window.h"

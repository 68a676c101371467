// raising_module.cpp - a stand-in plug-in that raises a structured exception,
// to show the program catches it by type across the library boundary.
#include "platform/structured_exception.h"

extern "C" __attribute__((visibility("default"))) void RaiseFromModule(DWORD code) { RaiseException(code); }

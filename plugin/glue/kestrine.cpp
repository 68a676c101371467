// kestrine.cpp - the plug-in library's two entry points, looked up by name by
// the engine: the machine object and the resource registration.
#include <new>

#include "gba_machine.h"

#define KESTRINE_EXPORT extern "C" __attribute__((visibility("default")))

// Null when the machine object cannot be allocated.
KESTRINE_EXPORT Emu::Emulator* NewEmulator() {
    try {
        return new GbaMachine;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Qt makes a library's compiled-in resources known when the library is
// loaded, so there is no search chain to join; the engine calls this before
// NewEmulator all the same.
KESTRINE_EXPORT void RegisterResources() {}

// named_plugin.cpp - a test plug-in whose emulator's name, identifier and file
// extension the build chooses (PLUGIN_NAME, PLUGIN_ID, PLUGIN_EXTENSION).
#include "test_emulator.h"

namespace {
bool Registered = false;
}

extern "C" __attribute__((visibility("default"))) void RegisterResources() { Registered = true; }

extern "C" __attribute__((visibility("default"))) Emu::Emulator* NewEmulator() {
    auto* emulator = new TestEmulator(PLUGIN_NAME, PLUGIN_ID, PLUGIN_EXTENSION);
    // Shows the engine that RegisterResources came first.
    emulator->GetSettings().set(L"Registered", Registered);
    return emulator;
}

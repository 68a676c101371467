// null_plugin.cpp - a test plug-in whose "NewEmulator" makes no emulator.
namespace Emu {
class Emulator;
}

extern "C" __attribute__((visibility("default"))) Emu::Emulator* NewEmulator() { return nullptr; }

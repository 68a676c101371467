// gba_input.cpp - the key map and the keypad read.
#include "gba_input.h"

#include "engine/emulator.h"
#include "engine/pad_skin.h"
#include "gba_sound.h"

namespace {

GbaInput* TheInput = nullptr;

// Entries of the emulator's key list.
enum KeyIndex { KeyUp, KeyDown, KeyLeft, KeyRight, KeyStart, KeyA, KeyB, KeyC, KeyD, KeyE };

struct Binding {
    uint32_t button;  // keypad bit
    uint32_t padBit;  // on-screen pad area
    KeyIndex key;
};

// In registration order. The device's "A" key (vkA) is the console's B and
// its "B" key (vkB) the console's A, as the keys sit on the handheld.
constexpr Binding Bindings[] = {
    {0x0040, Emu::PadSkin::kNorth, KeyUp},  {0x0080, Emu::PadSkin::kSouth, KeyDown},
    {0x0020, Emu::PadSkin::kWest, KeyLeft}, {0x0010, Emu::PadSkin::kEast, KeyRight},
    {0x0002, Emu::PadSkin::kB, KeyA},       {0x0001, Emu::PadSkin::kA, KeyB},
    {0x0004, Emu::PadSkin::kSelect, KeyC},  {0x0008, Emu::PadSkin::kStart, KeyStart},
    {0x0200, Emu::PadSkin::kL, KeyD},       {0x0100, Emu::PadSkin::kR, KeyE},
};

}  // namespace

GbaInput::GbaInput(Emu::Emulator* emulator) : BaseInput(emulator) { TheInput = this; }

GbaInput::~GbaInput() {
    if (TheInput == this) TheInput = nullptr;
}

void GbaInput::UpdateSettings() {
    ClearKeyMap();
    const Lumaret::KeyList& keys = emulator_->GetKeyList();
    for (const Binding& b : Bindings)
        RegisterKey(static_cast<int>(b.button), static_cast<int>(b.padBit), static_cast<short>(keys.keys[b.key]));
    BaseInput::UpdateSettings();
}

uint32_t GbaInput::ReadKeypad() {
    if (GbaSound* sound = GbaSound::Current()) sound->Trigger(true);
    return TheInput ? TheInput->GetState() & 0xFFFF : 0;
}

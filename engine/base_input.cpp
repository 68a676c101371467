// base_input.cpp - the key map and the button state it gives from the keys
// down and the pad under the stylus.
#include "engine/base_input.h"

#include "engine/emulator.h"
#include "engine/engine.h"
#include "engine/host_hooks.h"
#include "engine/pad_skin.h"
#include "lumaret/input.h"
#include "lumaret/window.h"

namespace Emu {

namespace {
Lumaret::Input* EngineInput() { return ourEngine ? ourEngine->GetInput() : nullptr; }
}  // namespace

BaseInput::BaseInput(Emulator* emulator) : emulator_(emulator) {}
BaseInput::~BaseInput() = default;

void BaseInput::UpdateSettings() {
    if (!ourEngine) return;
    PropertyMap& settings = ourEngine->GetSettings();
    padActive_ = settings.getBoolean(L"FullScreen") && settings.getBoolean(L"VirtualPad");
    if (Lumaret::Input* input = EngineInput()) input->SetDoubleCapture(settings.getBoolean(L"DoubleInputCapture"));
}

void BaseInput::Open() {
    if (Lumaret::Input* input = EngineInput()) input->Open();
    UpdateSettings();
}

void BaseInput::Close() {
    if (Lumaret::Input* input = EngineInput()) input->Close();
}

void BaseInput::Pause() {
    if (Lumaret::Input* input = EngineInput()) input->Pause();
}

void BaseInput::Resume() {
    if (Lumaret::Input* input = EngineInput()) input->Resume();
}

void BaseInput::ClearKeyMap() { keyMap_.clear(); }

void BaseInput::RegisterKey(int mask, int padBit, short key) {
    keyMap_.push_back({static_cast<uint32_t>(mask), static_cast<uint32_t>(padBit), key});
}

uint32_t BaseInput::PadButtons(uint32_t padBits) const {
    uint32_t buttons = 0;
    for (const KeyMapEntry& entry : keyMap_) {
        if (entry.padBit & padBits) buttons |= entry.mask;
    }
    return buttons;
}

uint32_t BaseInput::GetState() {
    Lumaret::Input* input = EngineInput();
    uint32_t state = 0;
    if (input) {
        // A later entry for the same bit overrides an earlier one.
        for (const KeyMapEntry& entry : keyMap_) {
            if (input->IsKeyDown(entry.key))
                state |= entry.mask;
            else
                state &= ~entry.mask;
        }
        if (padActive_ && input->IsStylusDown() && ourEngine->GetWindow()) {
            Lumaret::Rect window{};
            ourEngine->GetWindow()->GetRect(&window);
            const CSize image = PadSkin::GetImageSize();
            const int offset = window.height - image.cy / 2;
            const Lumaret::Point* stylus = input->GetStylusPosition();
            state |= PadButtons(static_cast<uint32_t>(PadSkin::CheckPad(stylus->x, stylus->y - offset)));
        }
    }
    state |= PadButtons(ReadPadSource());
    state_ = state;
    return state;
}

}  // namespace Emu

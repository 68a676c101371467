// gamepad.cpp - opening and closing game controllers as they come and go, and
// turning their buttons and left stick into on-screen pad bits.
#include "app/gamepad.h"

#include <SDL2/SDL.h>

#include "engine/host_hooks.h"
#include "engine/pad_skin.h"

namespace App {

namespace {

using Emu::PadSkin;

struct ButtonBit {
    SDL_GameControllerButton button;
    uint32_t padBit;
};

constexpr ButtonBit kButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadSkin::kNorth},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadSkin::kSouth},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadSkin::kWest},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadSkin::kEast},
    {SDL_CONTROLLER_BUTTON_B, PadSkin::kA},
    {SDL_CONTROLLER_BUTTON_A, PadSkin::kB},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PadSkin::kL},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadSkin::kR},
    {SDL_CONTROLLER_BUTTON_START, PadSkin::kStart},
    {SDL_CONTROLLER_BUTTON_BACK, PadSkin::kSelect},
};

// The bit of the direction an axis points to beyond the dead zone.
uint32_t AxisBits(int value, uint32_t negative, uint32_t positive) {
    if (value < -CGamepads::kStickDeadZone) return negative;
    if (value > CGamepads::kStickDeadZone) return positive;
    return 0;
}

}  // namespace

CGamepads::CGamepads() {
    // The program handles SIGINT and SIGTERM itself (battery saves).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    available_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!available_) return;
    // Controllers present at start announce themselves as plugged in too.
    Emu::SetPadSource([this] { return Poll(); });
}

CGamepads::~CGamepads() {
    if (!available_) return;
    Emu::SetPadSource(nullptr);
    for (auto& [id, controller] : controllers_) SDL_GameControllerClose(controller);
    controllers_.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void CGamepads::Attach(int deviceIndex) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || controllers_.count(id)) return;
    if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) controllers_[id] = controller;
}

void CGamepads::Detach(SDL_JoystickID id) {
    auto found = controllers_.find(id);
    if (found == controllers_.end()) return;
    SDL_GameControllerClose(found->second);
    controllers_.erase(found);
}

uint32_t CGamepads::Poll() {
    if (!available_) return 0;
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_CONTROLLERDEVICEADDED, SDL_CONTROLLERDEVICEREMOVED) > 0) {
        if (event.type == SDL_CONTROLLERDEVICEADDED) Attach(event.cdevice.which);
        if (event.type == SDL_CONTROLLERDEVICEREMOVED) Detach(event.cdevice.which);
    }
    // Nothing else reads SDL's queue; state is read from the controllers.
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    uint32_t bits = 0;
    for (auto& [id, controller] : controllers_) bits |= PadBitsOf(controller);
    return bits;
}

uint32_t CGamepads::PadBitsOf(SDL_GameController* controller) {
    if (!SDL_GameControllerGetAttached(controller)) return 0;
    uint32_t bits = 0;
    for (const ButtonBit& entry : kButtons) {
        if (SDL_GameControllerGetButton(controller, entry.button)) bits |= entry.padBit;
    }
    bits |= AxisBits(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX), PadSkin::kWest, PadSkin::kEast);
    bits |=
        AxisBits(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY), PadSkin::kNorth, PadSkin::kSouth);
    return bits;
}

}  // namespace App

// gamepad.h - game controllers through SDL's game-controller interface. Every
// controller plugged in, at start or later, drives the on-screen pad bits the
// engine's input base adds to the keys (host_hooks.h); several work at once,
// together with the keyboard, and an unplugged one releases its buttons.
//
// Layout (SDL names its buttons by position: A south, B east):
//   d-pad and left stick (beyond kStickDeadZone)  -> n, s, w, e
//   east button -> a, south button -> b, left and right shoulder -> l, r,
//   Start -> start, Back -> select.
#pragma once

#include <SDL2/SDL_gamecontroller.h>

#include <cstdint>
#include <map>

namespace App {

class CGamepads {
public:
    // Stick travel (of 32767) that counts as a direction.
    static constexpr int kStickDeadZone = 8000;

    // Starts SDL's controller support and becomes the engine's pad source.
    // Without it (no joystick support on this system) no gamepad works and
    // nothing else changes.
    CGamepads();
    ~CGamepads();
    CGamepads(const CGamepads&) = delete;
    CGamepads& operator=(const CGamepads&) = delete;

    bool IsAvailable() const { return available_; }
    // Takes in controllers plugged in or out since the last call, then
    // returns the pad bits held on all of them.
    uint32_t Poll();
    int GetCount() const { return static_cast<int>(controllers_.size()); }

    // The pad bits one controller holds.
    static uint32_t PadBitsOf(SDL_GameController* controller);

private:
    void Attach(int deviceIndex);
    void Detach(SDL_JoystickID id);

    bool available_ = false;
    std::map<SDL_JoystickID, SDL_GameController*> controllers_;
};

}  // namespace App

// gamepad_test.cpp - SDL's virtual game controllers, plugged in while the demo
// runs, press the console's buttons through the keypad register together
// with the keyboard, several at once; unplugging one releases its buttons.
#include "app/gamepad.h"

#include <SDL2/SDL.h>

#include <map>

#include "machine_fixture.h"

namespace {

// Key-list entries.
enum { Up, Down, Left, Right, Start, A, B, C, D, E };

// Console buttons (KEYINPUT bits, pressed reads 0).
constexpr uint32_t kA = 0x0001, kB = 0x0002, kSelect = 0x0004, kStart = 0x0008, kRight = 0x0010, kLeft = 0x0020,
                   kUp = 0x0040, kDown = 0x0080, kR = 0x0100, kL = 0x0200;

class GamepadTest : public MachineFixture {
protected:
    void SetUp() override {
        MachineFixture::SetUp();
        gamepads = std::make_unique<App::CGamepads>();
        ASSERT_TRUE(gamepads->IsAvailable()) << SDL_GetError();
        ASSERT_TRUE(Start(CopyDemo()));
    }
    void TearDown() override {
        while (!plugged.empty()) Unplug(plugged.begin()->first);
        gamepads.reset();
        MachineFixture::TearDown();
    }

    // Plugs in a virtual controller with every standard button and axis.
    SDL_Joystick* Plug() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Test controller";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
        if (joystick) plugged[joystick] = SDL_JoystickInstanceID(joystick);
        return joystick;
    }
    void Unplug(SDL_Joystick* joystick) {
        const SDL_JoystickID id = plugged.at(joystick);
        SDL_JoystickClose(joystick);
        plugged.erase(joystick);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
    static void Button(SDL_Joystick* joystick, SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
    }
    // The buttons the console reads as pressed after one more frame.
    uint32_t Pressed() {
        RunFrames(1);
        return ~KeypadRegister() & 0x03FF;
    }

    std::unique_ptr<App::CGamepads> gamepads;
    std::map<SDL_Joystick*, SDL_JoystickID> plugged;
};

TEST_F(GamepadTest, ButtonsAndTheDpadPressTheirConsoleButtonsTogetherWithTheKeyboard) {
    SDL_Joystick* pad = Plug();
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(Pressed(), 0u);
    EXPECT_EQ(gamepads->GetCount(), 1);

    const std::pair<SDL_GameControllerButton, uint32_t> layout[] = {
        {SDL_CONTROLLER_BUTTON_B, kA},  // east
        {SDL_CONTROLLER_BUTTON_A, kB},  // south
        {SDL_CONTROLLER_BUTTON_START, kStart},
        {SDL_CONTROLLER_BUTTON_BACK, kSelect},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kL},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kR},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, kUp},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kDown},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kLeft},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kRight},
    };
    for (const auto& [button, console] : layout) {
        Button(pad, button, true);
        EXPECT_EQ(Pressed(), console) << SDL_GameControllerGetStringForButton(button);
        Button(pad, button, false);
    }
    EXPECT_EQ(Pressed(), 0u);

    // The keyboard's Right and the controller's A and Start at once; the
    // key's release leaves the controller's buttons down.
    const Lumaret::KeyList keys = machine->GetKeyList();
    Key(keys.keys[Right], true);
    Button(pad, SDL_CONTROLLER_BUTTON_B, true);
    Button(pad, SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(Pressed(), kRight | kA | kStart);
    Key(keys.keys[Right], false);
    EXPECT_EQ(Pressed(), kA | kStart);
}

TEST_F(GamepadTest, TheLeftStickCountsBeyondItsDeadZone) {
    SDL_Joystick* pad = Plug();
    ASSERT_NE(pad, nullptr);
    const auto stick = [&](int x, int y) {
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y));
        return Pressed();
    };
    EXPECT_EQ(stick(App::CGamepads::kStickDeadZone, -App::CGamepads::kStickDeadZone), 0u) << "a resting stick drifts";
    EXPECT_EQ(stick(32767, 0), kRight);
    EXPECT_EQ(stick(-32768, -32768), kLeft | kUp);
    EXPECT_EQ(stick(0, 20000), kDown);
    EXPECT_EQ(stick(0, 0), 0u);
}

TEST_F(GamepadTest, SeveralControllersWorkAtOnceAndOneUnpluggedMidPressReleasesOnlyItsButtons) {
    SDL_Joystick* first = Plug();
    SDL_Joystick* second = Plug();
    ASSERT_TRUE(first && second);
    Button(first, SDL_CONTROLLER_BUTTON_B, true);
    Button(first, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Button(second, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(Pressed(), kA | kLeft | kB);
    EXPECT_EQ(gamepads->GetCount(), 2);

    Unplug(first);
    EXPECT_EQ(Pressed(), kB) << "the unplugged controller's buttons stay down";
    EXPECT_EQ(gamepads->GetCount(), 1);
    Unplug(second);
    EXPECT_EQ(Pressed(), 0u);

    // One plugged in again works like the first.
    SDL_Joystick* again = Plug();
    ASSERT_NE(again, nullptr);
    Button(again, SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(Pressed(), kStart);
}

}  // namespace

// input.cpp - key and stylus state.
#include "input.h"

namespace Lumaret {

namespace {

bool IsKeyCode(int key) { return key >= 1 && key <= 255; }

constexpr KeyList kDesktopKeys = {{Vk::Up, Vk::Down, Vk::Left, Vk::Right, Vk::Return, 'Z', 'X', Vk::Back, 'A', 'S', 0}};

}  // namespace

Input::Input() : defaultKeys_(kDesktopKeys) {}

Input::~Input() = default;

void Input::Open() {
    open_ = true;
    paused_ = false;
}

void Input::Close() {
    open_ = false;
    paused_ = false;
    ReleaseKeys();
}

void Input::Pause() {
    paused_ = true;
    ReleaseKeys();
}

void Input::Resume() { paused_ = false; }

void Input::SetKey(int key, bool down) {
    if (IsKeyCode(key)) down_[key] = down;
}

bool Input::IsKeyDown(int key) { return IsKeyCode(key) && down_[key]; }

KeyList* Input::GetDefaultKeys() {
    defaultKeys_ = kDesktopKeys;  // the caller may have written into it
    return &defaultKeys_;
}

void Input::OnHotKey(int key, uint32_t message) {
    if (message == kHotKeyMessage && doubleCapture_) SetKey(key, true);
}

void Input::SetDoubleCapture(bool on) { doubleCapture_ = on; }

void Input::SetStylusPosition(Point* position) {
    if (position) stylus_ = *position;
}

Point* Input::GetStylusPosition() { return &stylus_; }

void Input::SetStylusDown(bool down) { stylusDown_ = down; }

bool Input::IsStylusDown() { return stylusDown_; }

void Input::Feed(const StylusEvent& event) {
    if (event.action != StylusAction::Move) SetStylusDown(event.action == StylusAction::Down);
    Point position = event.position;
    SetStylusPosition(&position);
}

void Input::ReleaseKeys() { down_.fill(false); }

}  // namespace Lumaret

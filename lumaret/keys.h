// keys.h - Windows virtual-key codes and the translation of Qt's key events into
// them, the codes that key lists and the "vk..." settings store.
#pragma once

#include <Qt>
#include <cstdint>

#include "types.h"

class QEvent;

namespace Lumaret {

// Virtual-key codes without a character of their own; letters and digits are their
// upper-case ASCII codes ('A' = 0x41, '0' = 0x30).
namespace Vk {
enum : uint16_t {
    Back = 0x08,
    Tab = 0x09,
    Clear = 0x0C,
    Return = 0x0D,
    Shift = 0x10,
    Control = 0x11,
    Menu = 0x12,  // Alt
    Pause = 0x13,
    Capital = 0x14,  // Caps Lock
    Escape = 0x1B,
    Space = 0x20,
    Prior = 0x21,  // Page Up
    Next = 0x22,   // Page Down
    End = 0x23,
    Home = 0x24,
    Left = 0x25,
    Up = 0x26,
    Right = 0x27,
    Down = 0x28,
    Snapshot = 0x2C,  // Print Screen
    Insert = 0x2D,
    Delete = 0x2E,
    Help = 0x2F,
    LWin = 0x5B,  // left system key
    RWin = 0x5C,
    Apps = 0x5D,  // context menu key
    Numpad0 = 0x60,
    Multiply = 0x6A,
    Add = 0x6B,
    Subtract = 0x6D,
    Decimal = 0x6E,
    Divide = 0x6F,
    F1 = 0x70,  // F1..F24 are 0x70..0x87
    NumLock = 0x90,
    Scroll = 0x91,
    OemSemicolon = 0xBA,
    OemPlus = 0xBB,  // = and +
    OemComma = 0xBC,
    OemMinus = 0xBD,
    OemPeriod = 0xBE,
    OemSlash = 0xBF,
    OemBacktick = 0xC0,
    OemOpenBracket = 0xDB,
    OemBackslash = 0xDC,
    OemCloseBracket = 0xDD,
    OemQuote = 0xDE,
};
}  // namespace Vk

// Window messages that carry keys to the engine.
constexpr uint32_t kKeyDownMessage = 0x0100;
constexpr uint32_t kKeyUpMessage = 0x0101;
constexpr uint32_t kHotKeyMessage = 0x0312;

// The virtual-key code of a Qt key; 0 when it has none. A key is named by its
// unshifted place on a US keyboard ('!' is '1'), so a key pressed with Shift and
// released without it gives the same code both times. With the keypad modifier,
// digits and operators are the numeric pad's codes.
LUMARET_API int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

// A key event as the engine's key messages carry it.
struct KeyMessage {
    uint32_t message;  // kKeyDownMessage or kKeyUpMessage
    int key;           // virtual-key code, 1..255
};

// The key message of a key press or release. False for other events, for keys
// without a code, and for auto-repeats: Qt delivers a held key's repeats as
// release-and-press pairs, and ignoring them keeps the key down until it is
// really released.
LUMARET_API bool TranslateKeyEvent(const QEvent* event, KeyMessage* message);

// What the stylus did: pressed, moved while pressed, or lifted.
enum class StylusAction { Down, Move, Up };
struct StylusEvent {
    StylusAction action;
    Point position;  // in the receiving widget's pixels
};

// The stylus event of a mouse event (left button) or a touch event (first touch
// point). False for other events and other buttons, and for moves without the
// left button held.
LUMARET_API bool TranslateStylusEvent(const QEvent* event, StylusEvent* stylus);

}  // namespace Lumaret

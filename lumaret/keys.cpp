// keys.cpp - Qt key and pointer events translated into virtual-key codes and
// stylus actions.
#include "keys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTouchEvent>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace Lumaret {

namespace {

struct KeyPair {
    int qt;
    uint16_t vk;
};

// Keys whose code is not their character, and printable keys named by their
// unshifted place on a US keyboard.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, Vk::Back},
    {Qt::Key_Tab, Vk::Tab},
    {Qt::Key_Backtab, Vk::Tab},
    {Qt::Key_Clear, Vk::Clear},
    {Qt::Key_Return, Vk::Return},
    {Qt::Key_Enter, Vk::Return},
    {Qt::Key_Shift, Vk::Shift},
    {Qt::Key_Control, Vk::Control},
    {Qt::Key_Alt, Vk::Menu},
    {Qt::Key_AltGr, Vk::Menu},
    {Qt::Key_Pause, Vk::Pause},
    {Qt::Key_CapsLock, Vk::Capital},
    {Qt::Key_Escape, Vk::Escape},
    {Qt::Key_Space, Vk::Space},
    {Qt::Key_PageUp, Vk::Prior},
    {Qt::Key_PageDown, Vk::Next},
    {Qt::Key_End, Vk::End},
    {Qt::Key_Home, Vk::Home},
    {Qt::Key_Left, Vk::Left},
    {Qt::Key_Up, Vk::Up},
    {Qt::Key_Right, Vk::Right},
    {Qt::Key_Down, Vk::Down},
    {Qt::Key_Print, Vk::Snapshot},
    {Qt::Key_Insert, Vk::Insert},
    {Qt::Key_Delete, Vk::Delete},
    {Qt::Key_Help, Vk::Help},
    {Qt::Key_Meta, Vk::LWin},
    {Qt::Key_Super_L, Vk::LWin},
    {Qt::Key_Super_R, Vk::RWin},
    {Qt::Key_Menu, Vk::Apps},
    {Qt::Key_NumLock, Vk::NumLock},
    {Qt::Key_ScrollLock, Vk::Scroll},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_Semicolon, Vk::OemSemicolon},
    {Qt::Key_Colon, Vk::OemSemicolon},
    {Qt::Key_Equal, Vk::OemPlus},
    {Qt::Key_Plus, Vk::OemPlus},
    {Qt::Key_Comma, Vk::OemComma},
    {Qt::Key_Less, Vk::OemComma},
    {Qt::Key_Minus, Vk::OemMinus},
    {Qt::Key_Underscore, Vk::OemMinus},
    {Qt::Key_Period, Vk::OemPeriod},
    {Qt::Key_Greater, Vk::OemPeriod},
    {Qt::Key_Slash, Vk::OemSlash},
    {Qt::Key_Question, Vk::OemSlash},
    {Qt::Key_QuoteLeft, Vk::OemBacktick},
    {Qt::Key_AsciiTilde, Vk::OemBacktick},
    {Qt::Key_BracketLeft, Vk::OemOpenBracket},
    {Qt::Key_BraceLeft, Vk::OemOpenBracket},
    {Qt::Key_Backslash, Vk::OemBackslash},
    {Qt::Key_Bar, Vk::OemBackslash},
    {Qt::Key_BracketRight, Vk::OemCloseBracket},
    {Qt::Key_BraceRight, Vk::OemCloseBracket},
    {Qt::Key_Apostrophe, Vk::OemQuote},
    {Qt::Key_QuoteDbl, Vk::OemQuote},
};

// The numeric pad's keys that differ from the main keyboard's.
constexpr KeyPair kPadKeys[] = {
    {Qt::Key_Asterisk, Vk::Multiply}, {Qt::Key_Plus, Vk::Add},      {Qt::Key_Minus, Vk::Subtract},
    {Qt::Key_Period, Vk::Decimal},    {Qt::Key_Comma, Vk::Decimal}, {Qt::Key_Slash, Vk::Divide},
};

int Find(const KeyPair* begin, const KeyPair* end, int qtKey) {
    for (const KeyPair* it = begin; it != end; ++it)
        if (it->qt == qtKey) return it->vk;
    return 0;
}

// A pointer coordinate as a whole pixel (the pixel it lies in), kept in range.
int32_t PixelOf(qreal coordinate) { return static_cast<int32_t>(std::floor(std::clamp(coordinate, -1e9, 1e9))); }

}  // namespace

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return Vk::Numpad0 + (qtKey - Qt::Key_0);
        if (int vk = Find(std::begin(kPadKeys), std::end(kPadKeys), qtKey)) return vk;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return Vk::F1 + (qtKey - Qt::Key_F1);
    return Find(std::begin(kKeys), std::end(kKeys), qtKey);
}

bool TranslateKeyEvent(const QEvent* event, KeyMessage* message) {
    if (!event || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->isAutoRepeat()) return false;
    const int vk = VirtualKeyFromQt(key->key(), key->modifiers());
    if (vk == 0) return false;
    *message = {event->type() == QEvent::KeyPress ? kKeyDownMessage : kKeyUpMessage, vk};
    return true;
}

bool TranslateStylusEvent(const QEvent* event, StylusEvent* stylus) {
    if (!event) return false;
    StylusAction action;
    QPointF position;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (event->type() == QEvent::MouseMove) {
            if (!(mouse->buttons() & Qt::LeftButton)) return false;
            action = StylusAction::Move;
        } else {
            if (mouse->button() != Qt::LeftButton) return false;
            action = event->type() == QEvent::MouseButtonRelease ? StylusAction::Up : StylusAction::Down;
        }
        position = mouse->position();
        break;
    }
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel: {
        const auto* touch = static_cast<const QTouchEvent*>(event);
        if (touch->points().isEmpty()) return false;
        action = event->type() == QEvent::TouchBegin    ? StylusAction::Down
                 : event->type() == QEvent::TouchUpdate ? StylusAction::Move
                                                        : StylusAction::Up;
        position = touch->points().first().position();
        break;
    }
    default: return false;
    }
    *stylus = {action, {PixelOf(position.x()), PixelOf(position.y())}};
    return true;
}

}  // namespace Lumaret

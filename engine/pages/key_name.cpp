// key_name.cpp - names of the virtual-key codes a desktop keyboard produces.
#include "key_name.h"

#include <string>

#include "lumaret/keys.h"

namespace Emu {

namespace {

struct NamedKey {
    int key;
    const wchar_t* name;
};

// Keys whose name is not their character. Letters and digits name themselves;
// F1..F24 and the numeric pad's digits are counted below.
constexpr NamedKey kNames[] = {
    {Lumaret::Vk::Back, L"Backspace"},
    {Lumaret::Vk::Tab, L"Tab"},
    {Lumaret::Vk::Clear, L"Clear"},
    {Lumaret::Vk::Return, L"Return"},
    {Lumaret::Vk::Shift, L"Shift"},
    {Lumaret::Vk::Control, L"Ctrl"},
    {Lumaret::Vk::Menu, L"Alt"},
    {Lumaret::Vk::Pause, L"Pause"},
    {Lumaret::Vk::Capital, L"Caps Lock"},
    {Lumaret::Vk::Escape, L"Esc"},
    {Lumaret::Vk::Space, L"Space"},
    {Lumaret::Vk::Prior, L"Page Up"},
    {Lumaret::Vk::Next, L"Page Down"},
    {Lumaret::Vk::End, L"End"},
    {Lumaret::Vk::Home, L"Home"},
    {Lumaret::Vk::Left, L"Left"},
    {Lumaret::Vk::Up, L"Up"},
    {Lumaret::Vk::Right, L"Right"},
    {Lumaret::Vk::Down, L"Down"},
    {Lumaret::Vk::Snapshot, L"Print"},
    {Lumaret::Vk::Insert, L"Insert"},
    {Lumaret::Vk::Delete, L"Delete"},
    {Lumaret::Vk::Help, L"Help"},
    {Lumaret::Vk::LWin, L"Left Super"},
    {Lumaret::Vk::RWin, L"Right Super"},
    {Lumaret::Vk::Apps, L"Menu"},
    {Lumaret::Vk::Multiply, L"Num *"},
    {Lumaret::Vk::Add, L"Num +"},
    {Lumaret::Vk::Subtract, L"Num -"},
    {Lumaret::Vk::Decimal, L"Num ."},
    {Lumaret::Vk::Divide, L"Num /"},
    {Lumaret::Vk::NumLock, L"Num Lock"},
    {Lumaret::Vk::Scroll, L"Scroll Lock"},
    {Lumaret::Vk::OemSemicolon, L";"},
    {Lumaret::Vk::OemPlus, L"="},
    {Lumaret::Vk::OemComma, L","},
    {Lumaret::Vk::OemMinus, L"-"},
    {Lumaret::Vk::OemPeriod, L"."},
    {Lumaret::Vk::OemSlash, L"/"},
    {Lumaret::Vk::OemBacktick, L"`"},
    {Lumaret::Vk::OemOpenBracket, L"["},
    {Lumaret::Vk::OemBackslash, L"\\"},
    {Lumaret::Vk::OemCloseBracket, L"]"},
    {Lumaret::Vk::OemQuote, L"'"},
};

constexpr int kFunctionKeys = 24;
constexpr int kNumpadDigits = 10;

}  // namespace

CString KeyName(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return CString(std::wstring(1, wchar_t(key)));
    if (key >= Lumaret::Vk::F1 && key < Lumaret::Vk::F1 + kFunctionKeys)
        return CString(L"F" + std::to_wstring(key - Lumaret::Vk::F1 + 1));
    if (key >= Lumaret::Vk::Numpad0 && key < Lumaret::Vk::Numpad0 + kNumpadDigits)
        return CString(L"Num " + std::to_wstring(key - Lumaret::Vk::Numpad0));
    for (const NamedKey& named : kNames)
        if (named.key == key) return CString(named.name);
    return CString();
}

CString KeyLabel(int key) {
    CString label(std::to_wstring(key));
    const CString name = KeyName(key);
    if (!name.IsEmpty()) label += CString(L" (") + name + CString(L")");
    return label;
}

}  // namespace Emu
